#include "ui/QtDialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>

namespace pel {

namespace {

// The name box starts with the proposed name; a bare name is placed in the starting folder.
QString StartPath(const FileChoice& choice) {
    if (choice.proposedName.isEmpty()) return choice.directory;
    if (QDir::isAbsolutePath(choice.proposedName) || choice.directory.isEmpty())
        return choice.proposedName;
    return QDir(choice.directory).filePath(choice.proposedName);
}

QMessageBox::Icon BoxIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// A box with a short text is narrower than its title, which the window manager then cuts: the
// box is made wide enough for the title and the title bar's buttons.
void KeepTitleWhole(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    constexpr int kTitleBarButtons = 160;
    const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarButtons;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

std::optional<QString> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace

QString QuestionExplanation(const QString& title, const QString& text) {
    if (title == "Error" && text.startsWith("Invalid Point Type: "))
        return "OK skips the blocks of this point type and goes on; Cancel ends this file.";
    return QString();
}

QString DatabaseFilter() {
    return "Point Databases (*.db);;Access Databases (*.mdb)";
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const FileChoice& choice) {
    return Chosen(
        QFileDialog::getOpenFileName(parent, choice.title, StartPath(choice), choice.filter));
}

std::optional<QStringList> QtDialogs::openFiles(QWidget* parent, const FileChoice& choice) {
    QStringList files =
        QFileDialog::getOpenFileNames(parent, choice.title, StartPath(choice), choice.filter);
    if (files.isEmpty()) return std::nullopt;
    return files;
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const FileChoice& choice) {
    QFileDialog::Options options;
    if (!choice.confirmOverwrite) options |= QFileDialog::DontConfirmOverwrite;
    return Chosen(QFileDialog::getSaveFileName(parent, choice.title, StartPath(choice),
                                               choice.filter, nullptr, options));
}

bool QtDialogs::askOkCancel(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.setInformativeText(QuestionExplanation(title, text));
    KeepTitleWhole(box);
    return box.exec() == QMessageBox::Ok;
}

void QtDialogs::message(QWidget* parent, const QString& title, const QString& text, Icon icon) {
    QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, parent);
    KeepTitleWhole(box);
    box.exec();
}

bool QtDialogs::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

}  // namespace pel
