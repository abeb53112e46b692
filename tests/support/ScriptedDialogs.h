#pragma once
// Window tests: file dialogs answered from a script (cancelled without one), questions with OK;
// every request, message and opened URL is recorded.

#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <optional>
#include <vector>

#include "ui/QtDialogs.h"

namespace pel::test {

class ScriptedDialogs : public Dialogs {
  public:
    struct FileRequest {
        QString kind;  // "open", "open-many", "save"
        FileChoice choice;
    };
    struct Shown {
        QString title, text;
        Icon icon = Icon::None;
    };

    // Next file dialog answers; an empty list cancels.
    void choose(const QString& path) { files.push_back(QStringList{path}); }
    void chooseMany(const QStringList& paths) { files.push_back(paths); }
    void cancel() { files.push_back(QStringList()); }

    std::optional<QString> openFile(QWidget*, const FileChoice& choice) override {
        auto answer = next("open", choice);
        if (!answer) return std::nullopt;
        return answer->front();
    }
    std::optional<QStringList> openFiles(QWidget*, const FileChoice& choice) override {
        return next("open-many", choice);
    }
    std::optional<QString> saveFile(QWidget*, const FileChoice& choice) override {
        auto answer = next("save", choice);
        if (!answer) return std::nullopt;
        return answer->front();
    }
    bool askOkCancel(QWidget*, const QString& title, const QString& text) override {
        questions.push_back({title, text, Icon::None});
        return true;  // OK
    }
    void message(QWidget*, const QString& title, const QString& text, Icon icon) override {
        messages.push_back({title, text, icon});
    }
    bool openUrl(const QUrl& url) override {
        openedUrls.push_back(url);
        return urlOpens;
    }

    bool saidSomething(const QString& part) const {
        for (const Shown& m : messages)
            if (m.text.contains(part)) return true;
        return false;
    }

    std::deque<QStringList> files;
    bool urlOpens = true;
    std::vector<FileRequest> fileRequests;
    std::vector<Shown> questions, messages;
    std::vector<QUrl> openedUrls;

  private:
    std::optional<QStringList> next(const QString& kind, const FileChoice& choice) {
        fileRequests.push_back({kind, choice});
        if (files.empty()) return std::nullopt;
        const QStringList answer = files.front();
        files.pop_front();
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    }
};

}  // namespace pel::test
