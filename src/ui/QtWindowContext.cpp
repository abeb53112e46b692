#include "ui/QtWindowContext.h"

#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <algorithm>

#include "core/Paths.h"
#include "ui/RunHold.h"

namespace pel {

std::string TypedText(const QPlainTextEdit* box) {
    QString text = box->toPlainText();
    text.replace('\n', "\r\n");
    return ToStdString(text);
}

void SetOptionInput(QWidget* input, bool enabled) {
    input->setEnabled(enabled);
    QPalette palette = input->palette();
    const QPalette& standard = QApplication::palette();
    const QColor colour = standard.color(enabled ? QPalette::Base : QPalette::Button);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, colour);
    input->setPalette(palette);
}

void ViewReport(WindowContext& context, const QString& path) {
    if (path.isEmpty()) return;
    const std::string file = ToStdString(path);
    if (!FileExists(file)) {
        context.dialogs.message(context.window, ToQString(kProgramTitle),
                                "The report " + path + " cannot be opened: there is no such file.",
                                Icon::Exclamation);
        return;
    }
    if (!context.dialogs.openUrl(QUrl::fromLocalFile(path)))
        context.dialogs.message(context.window, ToQString(kProgramTitle),
                                "The report " + path +
                                    " could not be handed to the desktop's browser: no program "
                                    "to open it is set up.",
                                Icon::Exclamation);
}

void FillPointTypeList(const AppState& state, const QString& node, QListWidget* list) {
    list->clear();
    const std::string wanted = ToStdString(node);
    for (const PointTypeDefinition& row : state.catalog.definitions())
        if (row.node && *row.node == wanted) list->addItem(ToQString(row.pntType));
}

std::vector<std::string> SelectedEntries(const QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected()) out.push_back(ToStdString(list->item(i)->text()));
    return out;
}

void FillNodeAndOrderChoices(QComboBox* node, QComboBox* order) {
    node->clear();
    node->addItems({"AM", "NIM", "HG"});
    node->setCurrentIndex(1);
    order->clear();
    order->addItems({"Name", "Address"});
    order->setCurrentIndex(0);
}

void SelectEntries(QListWidget* list, const std::vector<std::string>& names) {
    for (int i = 0; i < list->count(); ++i) {
        const std::string text = ToStdString(list->item(i)->text());
        list->item(i)->setSelected(std::find(names.begin(), names.end(), text) != names.end());
    }
}

void RunEngine(WindowContext& context, Panel panel, const std::function<void()>& run) {
    context.busy = true;
    {
        RunHold hold(context.feedback.cancelButton(panel),
                     [&] { context.feedback.requestCancel(); });
        context.feedback.setTakesInput(true);
        context.feedback.beginRun(panel);
        try {
            run();
        } catch (const std::exception& e) {
            context.feedback.message(kProgramTitle, e.what(), Icon::Critical);
        }
        context.feedback.setTakesInput(false);
    }
    context.feedback.endRun();
    context.busy = false;
}

QButtonGroup* AddOptionGroup(QWidget* owner, QBoxLayout* layout, const QString& name,
                             const QStringList& captions) {
    auto* group = new QButtonGroup(owner);
    group->setObjectName(name);
    for (int i = 0; i < captions.size(); ++i) {
        auto* button = new QRadioButton(captions[i], owner);
        button->setObjectName(name + "_" + QString::number(i));
        group->addButton(button, i);
        layout->addWidget(button);
    }
    group->button(0)->setChecked(true);
    return group;
}

QLabel* MakeLabel(QWidget* owner, const QString& name, const QString& caption) {
    auto* label = new QLabel(caption, owner);
    label->setObjectName(name);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

void AddCancelRow(WindowContext& context, QWidget* owner, QBoxLayout* layout, Panel panel,
                  QWidget* bar, const QString& name) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    if (bar) row->addWidget(bar, 1);
    auto* note = new QLabel(owner);
    note->setObjectName("txtRunNote" + name);
    note->hide();
    row->addWidget(note, bar ? 0 : 1);
    auto* cancel = new QPushButton("&Cancel", owner);
    cancel->setObjectName("cmdCancel" + name);
    cancel->setEnabled(false);
    cancel->setAutoDefault(false);
    cancel->setToolTip("Stop after the current point, keeping what was completed (Esc)");
    QObject::connect(cancel, &QPushButton::clicked,
                     [&feedback = context.feedback] { feedback.requestCancel(); });
    row->addWidget(cancel);
    layout->addLayout(row);
    context.feedback.bindCancel(panel, cancel, note);
}

QProgressBar* AddProgressArea(WindowContext& context, QWidget* owner, QBoxLayout* layout,
                              Panel panel, const std::array<QString, 4>& names,
                              const std::array<QString, 4>& captions, const QString& progressName) {
    static constexpr std::array<Label, 4> kRoles{Label::Name, Label::PntType, Label::PtDesc,
                                                 Label::Status};
    for (std::size_t i = 0; i < kRoles.size(); ++i) {
        QLabel* label = MakeLabel(owner, names[i], captions[i]);
        layout->addWidget(label);
        context.feedback.bindLabel(panel, kRoles[i], label);
    }
    auto* bar = new QProgressBar(owner);
    bar->setObjectName(progressName);
    bar->setRange(0, 1000);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setMaximumHeight(12);
    context.feedback.bindProgress(panel, bar);
    AddCancelRow(context, owner, layout, panel, bar, progressName.mid(3));
    return bar;
}

}  // namespace pel
