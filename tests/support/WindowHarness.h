#pragma once
// Window tests: frmMain over the built definitions, settings kept in memory and dialogs answered
// from a script; widgets found by their design names.

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "app/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

namespace pel::test {

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

struct WindowHarness {
    // `definitions` empty: the built EB.db. `prepare` runs on the settings before start-up.
    explicit WindowHarness(std::string definitions = std::string(),
                           const std::function<void(MemorySettingsStore&)>& prepare = {}) {
        if (prepare) prepare(settings);
        window = std::make_unique<MainWindow>(state, settings, dialogs);
        loaded = window->load(definitions.empty() ? BuiltDefinitions() : definitions,
                              home.path().string());
    }

    template <class T>
    T* find(const char* name) const {
        T* w = window->findChild<T*>(name);
        if (!w) {
            std::fprintf(stderr, "no %s named %s\n", T::staticMetaObject.className(), name);
            std::abort();
        }
        return w;
    }

    TempDir home;  // stands in for the user's home folder
    AppState state;
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
    bool loaded = false;
};

}  // namespace pel::test
