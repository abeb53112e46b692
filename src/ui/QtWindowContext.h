#pragma once
// What every tab, panel and dialog of the main window shares: the application state, the
// settings, the scriptable dialogs, the feedback the engines report through, and the main
// window's database box, from which every operation takes its database.

#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/AppState.h"
#include "ui/QtDialogs.h"
#include "ui/QtFeedback.h"
#include "ui/SettingsStore.h"

class QBoxLayout;
class QButtonGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QWidget;

namespace pel {

struct WindowContext {
    AppState& state;
    SettingsStore& settings;
    Dialogs& dialogs;
    QtFeedback& feedback;
    QLineEdit* database = nullptr;  // frmMain's txtMDBname
    QWidget* window = nullptr;      // parent of dialogs and message boxes
    std::function<void()> refreshCurrentTab;
    bool busy = false;  // an engine runs: the window takes no close request
};

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToStdString(const QString& text) {
    return text.toUtf8().toStdString();
}

// The text of a multi-line box as typed, its line breaks CR LF as the selection readers expect.
std::string TypedText(const QPlainTextEdit* box);

// An input that follows an option: enabled with the window colour, or disabled with the button
// face colour.
void SetOptionInput(QWidget* input, bool enabled);

// "View": the report in the desktop's default browser, through the desktop's own URL handler.
// A failure is shown in a message box.
void ViewReport(WindowContext& context, const QString& path);

// Fills a point-type list with the types whose Node equals the node text exactly, in
// PrimaryKey order.
void FillPointTypeList(const AppState& state, const QString& node, QListWidget* list);
// The selected entries of a list, top to bottom.
std::vector<std::string> SelectedEntries(const QListWidget* list);
// Start-up's node and order choices: "AM", "NIM", "HG" showing "NIM" (which fills the node's
// point-type list through its change event), and "Name", "Address" showing "Name".
void FillNodeAndOrderChoices(QComboBox* node, QComboBox* order);
// Selects exactly the entries named.
void SelectEntries(QListWidget* list, const std::vector<std::string>& names);

// Runs an engine inside a click: the panel's progress starts at 0, input stays blocked, the last
// state is shown at the end. A failure that escapes the engine is shown by its description
// rather than ending the program.
void RunEngine(WindowContext& context, Panel panel, const std::function<void()>& run);

// An option group: radio buttons named "<name>_<index>" in the layout, and the QButtonGroup
// named "<name>" with the indexes as ids. The first is selected.
QButtonGroup* AddOptionGroup(QWidget* owner, QBoxLayout* layout, const QString& name,
                             const QStringList& captions);

// A label with its object name and design caption; long texts never widen its panel.
QLabel* MakeLabel(QWidget* owner, const QString& name, const QString& caption);

// A row with the panel's Cancel button (enabled only while a run of the panel holds the window),
// a note beside it, and the progress bar, if any, at its left.
void AddCancelRow(WindowContext& context, QWidget* owner, QBoxLayout* layout, Panel panel,
                  QWidget* bar, const QString& name);

// The progress labels of a panel (name, point type, description, status, in that order) with a
// progress bar under them, added to `layout` and bound to the feedback.
QProgressBar* AddProgressArea(WindowContext& context, QWidget* owner, QBoxLayout* layout,
                              Panel panel, const std::array<QString, 4>& names,
                              const std::array<QString, 4>& captions, const QString& progressName);

}  // namespace pel
