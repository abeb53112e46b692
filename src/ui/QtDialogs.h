#pragma once
// The window's file dialogs, message boxes and URL opener behind one interface, so that a test
// can script them (choose this file, cancel, answer OK) and the real ones stay out of its way.

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

#include "core/Feedback.h"

class QWidget;

namespace pel {

// One file choice as the window asks for it. `filter` is a Qt filter string
// ("HTML Files (*.htm)", several joined by ";;").
struct FileChoice {
    QString title;
    QString filter;
    QString directory;             // the starting folder
    QString proposedName;          // a file name (or full path) shown in the name box; may be empty
    bool confirmOverwrite = true;  // save dialogs only
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Each returns nothing when the user cancels.
    virtual std::optional<QString> openFile(QWidget* parent, const FileChoice& choice) = 0;
    virtual std::optional<QStringList> openFiles(QWidget* parent, const FileChoice& choice) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const FileChoice& choice) = 0;
    // OK (true) or Cancel.
    virtual bool askOkCancel(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void message(QWidget* parent, const QString& title, const QString& text,
                         Icon icon = Icon::None) = 0;
    // Hands the URL to the desktop's own handler; false when it could not.
    virtual bool openUrl(const QUrl& url) = 0;
};

// The desktop's own dialogs (QFileDialog, QMessageBox, QDesktopServices).
class QtDialogs : public Dialogs {
  public:
    std::optional<QString> openFile(QWidget* parent, const FileChoice& choice) override;
    std::optional<QStringList> openFiles(QWidget* parent, const FileChoice& choice) override;
    std::optional<QString> saveFile(QWidget* parent, const FileChoice& choice) override;
    bool askOkCancel(QWidget* parent, const QString& title, const QString& text) override;
    void message(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
    bool openUrl(const QUrl& url) override;
};

// The line under a question's text that says what its buttons do; empty for most questions.
QString QuestionExplanation(const QString& title, const QString& text);

// The filters of every database choice: our own SQLite files first, Access files beside them.
QString DatabaseFilter();

}  // namespace pel
