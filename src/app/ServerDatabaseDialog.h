#pragma once
// File > "Open Server Database...": host, port, database and user of a point database on a
// PostgreSQL server, given back as its connection URI, which never holds a password. A password
// the server asks for is prompted for and kept for this session of the program only.

#include <QDialog>
#include <string>

class QLineEdit;

namespace pel {

// The URI of a server database; parts left empty are left to libpq's defaults, a host that is
// a folder names the Unix socket's folder.
std::string ServerDatabaseUri(const std::string& host, const std::string& port,
                              const std::string& database, const std::string& user);

class ServerDatabaseDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ServerDatabaseDialog(QWidget* parent = nullptr);
    std::string uri() const;

  private:
    QLineEdit* host_;
    QLineEdit* port_;
    QLineEdit* database_;
    QLineEdit* user_;
};

// Asks for the database and opens it once to check it, asking for the password when the server
// wants one; the URI, or empty when the user gave up or it cannot be opened (said in a message).
std::string ChooseServerDatabase(QWidget* parent);

}  // namespace pel
