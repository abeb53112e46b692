#include "compare/CompareEbFolderBox.h"

#include <QDir>
#include <QKeySequence>
#include <QShortcut>

#include "compare/CompareEbTab.h"

namespace pel {

void MakeFolderBoxEditable(WindowContext& context, CompareEbTab& tab) {
    auto* box = tab.findChild<QLineEdit*>("txtCompareEBDirectory");
    box->setReadOnly(false);
    box->setToolTip("Type or paste a folder and press Enter; F5 reads the folder again");
    QObject::connect(box, &QLineEdit::returnPressed, &tab, [&context, &tab, box] {
        const QString typed = QDir::fromNativeSeparators(box->text().trimmed());
        if (!typed.isEmpty() && QDir(typed).exists()) {
            tab.setDirectory(QDir(typed).absolutePath());
            tab.refreshCompareEbButton();
            return;
        }
        context.dialogs.message(context.window, ToQString(kProgramTitle),
                                "There is no folder " + typed + ".", Icon::Exclamation);
        box->setText(tab.directory());
    });
    // A typed path that was never entered is not the listed folder: leaving restores it.
    QObject::connect(box, &QLineEdit::editingFinished, &tab, [&tab, box] {
        if (!box->hasFocus()) box->setText(tab.directory());
    });
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), &tab);
    refresh->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(refresh, &QShortcut::activated, &tab, [&tab] {
        tab.reload();
        tab.refreshCompareEbButton();
    });
}

}  // namespace pel
