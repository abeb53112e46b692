#pragma once
// The Connection Report window (frmConnections): a database, a report file, five point types as
// check boxes, and the report run. Opened modally from Tools > Connection Report.

#include <QDialog>
#include <array>

#include "ui/QtWindowContext.h"

class QCheckBox;
class QPushButton;

namespace pel {

class ConnectionsDialog : public QDialog {
    Q_OBJECT
  public:
    // `database` is the main window's database path, shown in this window's own txtMDBname.
    ConnectionsDialog(WindowContext& context, const QString& database, QWidget* parent = nullptr);
    ~ConnectionsDialog() override;

  public slots:
    void chooseDatabase();    // cmdAccess
    void chooseReportFile();  // cmdText
    void makeReport();        // cmdConnectReport

  private:
    // cmdConnectReport is enabled once both paths are filled, and stays so.
    void enableReportWhenReady();

    WindowContext& context_;
    QLineEdit* txtMDBname_;
    QLineEdit* txtReportname_;
    std::array<QCheckBox*, 5> connectCheck_{};
    QPushButton* cmdConnectReport_;
    QPushButton* cmdOpenReport_;
};

}  // namespace pel
