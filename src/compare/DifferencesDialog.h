#pragma once
// The rows of the last comparison as a table the user can sort, filter and save as CSV, opened
// by a "Differences" button beside the comparison's View.

#include <QDialog>
#include <string>
#include <vector>

#include "ui/QtWindowContext.h"

class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;

namespace pel {

// The table's heads: point type, point, parameter, and the two sides as the report names them.
std::vector<std::string> DifferencesHeads(Panel panel);

// Writes the rows with the heads as CSV; the failure's text, or empty when written.
std::string SaveDifferencesCsv(const std::string& path, const std::vector<std::string>& heads,
                               const std::vector<Difference>& rows);

class DifferencesDialog : public QDialog {
    Q_OBJECT
  public:
    DifferencesDialog(WindowContext& context, Panel panel, const std::vector<Difference>& rows,
                      QWidget* parent = nullptr);

    // Shows only the rows that hold `text` in any column, ignoring case.
    void filter(const QString& text);
    int rowsShown() const;

  public slots:
    void saveCsv();  // cmdSaveCsv

  private:
    WindowContext& context_;
    std::vector<std::string> heads_;
    const std::vector<Difference>& rows_;
    QStandardItemModel* model_;
    QSortFilterProxyModel* shown_;
};

// Adds the "Differences" button beside `view`: enabled once a run of `panel` has written its
// report, it opens the dialog on that run's rows.
QPushButton* AddDifferencesButton(WindowContext& context, QPushButton* view, Panel panel);

}  // namespace pel
