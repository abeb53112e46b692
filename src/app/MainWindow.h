#pragma once
// frmMain: the database box and button above the tab strip (Import, Export, Compare EB), the
// Compare DB panel below it, the menus, start-up and shut-down, tab switching and ClearText.

#include <QMainWindow>
#include <QPointer>
#include <string>

#include "ui/QtFeedback.h"
#include "ui/QtWindowContext.h"

class QLabel;
class QScrollArea;
class QTabWidget;

namespace pel {

class AboutDialog;
class CompareDbPanel;
class CompareEbTab;
class ExportTab;
class ImportTab;
class OptionsDialog;
class ResultsArea;
struct DemoPlant;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(AppState& state, SettingsStore& settings, Dialogs& dialogs,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up, run once before the window is first shown. `homeDirectory` stands in for the
    // default folder of every file choice. False after "Error in form load".
    bool load(const std::string& definitionsPath, const std::string& homeDirectory);
    // Shows the demo plant as if its files had been chosen (nothing is stored in the settings).
    void presetDemo(const DemoPlant& demo);

    // Empties the Export, Import and Compare EB progress labels.
    void clearText();
    // Re-evaluates the shown tab's button (Compare EB: its folder from the EB-file directory).
    void refreshCurrentTab();
    // Shows a database as cmdAccess does after its dialog; `store` keeps it in the settings.
    void applyDatabase(const QString& path, bool store);

    // The available area of the window's screen: when it is lower than the window needs to show
    // the Compare DB panel, the window's content scrolls.
    void fitToScreen(const QRect& available);
    // Tools > Compare DB: the panel into view, growing the window where the screen allows.
    void showCompareDb();
    // A note beside the running panel's Cancel button and in the results area.
    void showRunNote(const QString& text);

    int currentTab() const { return currentTab_; }
    int refreshCount() const { return refreshes_; }
    QtFeedback& feedback() { return feedback_; }
    ImportTab* importTab() const { return import_; }
    ExportTab* exportTab() const { return export_; }
    CompareEbTab* compareEbTab() const { return compareEb_; }
    CompareDbPanel* compareDbPanel() const { return compareDb_; }
    ResultsArea* resultsArea() const { return results_; }
    // Adds a line of the window's own to the results list (a request refused, say).
    void noteResult(const QString& text);

  public slots:
    void chooseDatabase();       // cmdAccess
    void tabClicked(int tab);    // the tab strip, tabs 1 to 3
    void showConnections();      // Tools > Connection Report
    void showConnectionCheck();  // Tools > Check Connections
    void showOptions();          // Tools > Options
    void showAbout();            // Help > About

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Tab and Shift+Tab pass over the controls that lie outside the visible part of the window.
    bool focusNextPrevChild(bool next) override;

  private:
    void buildMenus();
    // The results dock, the database note and the Differences buttons.
    void addResultViews();
    void addShortcuts();
    // With no database, the tabs' result labels say where to begin.
    void showBeginHint();
    int designedHeight() const;
    void restoreWindowSettings();
    void storeWindowSettings();

    AppState& state_;
    SettingsStore& settings_;
    Dialogs& dialogs_;
    QtFeedback feedback_;
    WindowContext context_;
    QLineEdit* txtMDBname_;
    QTabWidget* tabStrip_;
    QScrollArea* scroll_;
    QWidget* frame_;
    QRect screenArea_;
    ImportTab* import_;
    ExportTab* export_;
    CompareEbTab* compareEb_;
    CompareDbPanel* compareDb_;
    ResultsArea* results_ = nullptr;
    QLabel* databaseNote_ = nullptr;
    OptionsDialog* options_ = nullptr;
    QPointer<AboutDialog> about_;
    int currentTab_ = 1;
    int refreshes_ = 0;
    bool shutDown_ = false;
    bool beginHintShown_ = false;
};

}  // namespace pel
