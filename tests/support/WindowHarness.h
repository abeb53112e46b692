#pragma once
// Window tests: frmMain over the built definitions, settings kept in memory and dialogs answered
// from a script; widgets found by their design names.

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
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

// Runs `act` on the modal dialog named `name` once `open` has shown it, closing it afterwards if
// `act` left it open; false when no such dialog came.
inline bool WithModal(const char* name, const std::function<void()>& open,
                      const std::function<void(QDialog*)>& act) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != name) return;
        ran = true;
        act(dialog);
        if (dialog->isVisible()) dialog->reject();  // never leave the test waiting
    });
    open();
    return ran;
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
