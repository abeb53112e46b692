#pragma once
// The Check Connections window: a database, a report file (HTML or CSV), the point types to
// check, and the check run with its labels and progress bar. Opened modally from
// Tools > Check Connections, in the manner of the Connection Report window.

#include <QDialog>

#include "ui/QtWindowContext.h"

class QListWidget;
class QPushButton;

namespace pel {

class ConnectionCheckDialog : public QDialog {
    Q_OBJECT
  public:
    // `database` is the main window's database path.
    ConnectionCheckDialog(WindowContext& context, const QString& database,
                          QWidget* parent = nullptr);
    ~ConnectionCheckDialog() override;

  public slots:
    void chooseDatabase();
    void chooseReportFile();
    void check();

  private:
    void enableCheckWhenReady();

    WindowContext& context_;
    QLineEdit* database_;
    QLineEdit* report_;
    QListWidget* types_;
    QPushButton* check_;
};

}  // namespace pel
