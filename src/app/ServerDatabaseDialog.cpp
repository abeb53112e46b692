#include "app/ServerDatabaseDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

#include "db/Database.h"
#include "ui/QtWindowContext.h"

namespace pel {

namespace {

constexpr const char* kTitle = "Open Server Database";

std::string Encoded(const std::string& part) {
    return QUrl::toPercentEncoding(ToQString(part)).toStdString();
}

}  // namespace

std::string ServerDatabaseUri(const std::string& host, const std::string& port,
                              const std::string& database, const std::string& user) {
    const bool socketFolder = !host.empty() && host.front() == '/';
    std::string uri = "postgresql://";
    if (!user.empty()) uri += Encoded(user) + "@";
    if (!socketFolder) uri += Encoded(host);
    if (!port.empty() && !socketFolder) uri += ":" + Encoded(port);
    uri += "/" + Encoded(database);
    if (socketFolder) {
        uri += "?host=" + Encoded(host);
        if (!port.empty()) uri += "&port=" + Encoded(port);
    }
    return uri;
}

ServerDatabaseDialog::ServerDatabaseDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("frmServerDatabase");
    setWindowTitle(kTitle);
    setModal(true);
    auto* form = new QFormLayout(this);
    auto field = [&](const char* label, const char* name, const QString& text) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(name);
        form->addRow(label, edit);
        return edit;
    };
    host_ = field("Host", "txtServerHost", "localhost");
    port_ = field("Port", "txtServerPort", "5432");
    database_ = field("Database", "txtServerDatabase", "");
    user_ = field("User", "txtServerUser", "");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

std::string ServerDatabaseDialog::uri() const {
    return ServerDatabaseUri(
        ToStdString(host_->text().trimmed()), ToStdString(port_->text().trimmed()),
        ToStdString(database_->text().trimmed()), ToStdString(user_->text().trimmed()));
}

std::string ChooseServerDatabase(QWidget* parent) {
    ServerDatabaseDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return {};
    const std::string uri = dialog.uri();
    for (;;) {
        try {
            db::Database::open(uri, false);
            return uri;
        } catch (const db::DbError& e) {
            if (e.kind() != db::DbError::Kind::NeedsPassword) {
                QMessageBox::critical(parent, kTitle, ToQString(e.what()));
                return {};
            }
        }
        bool ok = false;
        const QString password = QInputDialog::getText(
            parent, kTitle, ToQString("Password for " + uri), QLineEdit::Password, {}, &ok);
        if (!ok) return {};
        // libpq reads it from this process's environment for every later run; it is written
        // nowhere, so the next start of the program asks again.
        qputenv("PGPASSWORD", password.toUtf8());
    }
}

}  // namespace pel
