// File > "Open Server Database...": the fields make the URI; a database that opens is shown in
// the database box and remembered without its password; one that does not changes nothing.

#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include "app/ServerDatabaseDialog.h"
#include "support/ServerDatabases.h"
#include "support/WindowHarness.h"

using namespace pel;
using pel::test::Q;
using pel::test::WindowHarness;

namespace {

constexpr const char* kPassword = "right-password";  // the test server's role pelorin_pw

void Fill(QDialog* d, const QStringList& fields) {
    const char* names[] = {"txtServerHost", "txtServerPort", "txtServerDatabase", "txtServerUser"};
    for (int i = 0; i < 4; ++i) d->findChild<QLineEdit*>(names[i])->setText(fields[i]);
}

// Answers each modal window File > "Open Server Database..." shows: the dialog gets `fields`,
// the password prompt `password` (cancelled when empty); a message is kept in `said`.
void OpenServerDatabase(WindowHarness& h, const QStringList& fields, const QString& password,
                        QString& said) {
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* d = qobject_cast<QDialog*>(modal); d && d->objectName() == "frmServerDatabase") {
            Fill(d, fields);
            d->accept();
        } else if (auto* prompt = qobject_cast<QInputDialog*>(modal)) {
            QCOMPARE(prompt->textEchoMode(), QLineEdit::Password);
            prompt->setTextValue(password);
            password.isEmpty() ? prompt->reject() : prompt->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            said = box->text();
            box->accept();
        }
    });
    answer.start(10);
    h.window->findChild<QAction*>("mnuOpenServerDatabase")->trigger();
}

}  // namespace

class ServerDatabaseDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void fieldsMakeTheUri_data() {
        QTest::addColumn<QStringList>("fields");  // host, port, database, user
        QTest::addColumn<QString>("uri");
        QTest::newRow("host and port") << QStringList{"plantdb", "5432", "unit100", "eng"}
                                       << "postgresql://eng@plantdb:5432/unit100";
        QTest::newRow("socket folder")
            << QStringList{"/run/pg sock", "5433", "unit100", "eng"}
            << "postgresql://eng@/unit100?host=%2Frun%2Fpg%20sock&port=5433";
        QTest::newRow("blanks left to libpq")
            << QStringList{"", " ", "unit100", ""} << "postgresql:///unit100";
        QTest::newRow("reserved characters encoded")
            << QStringList{" plantdb ", "5432", "unit 100", "eng@x:y/z"}
            << "postgresql://eng%40x%3Ay%2Fz@plantdb:5432/unit%20100";
    }

    void fieldsMakeTheUri() {
        QFETCH(QStringList, fields);
        QFETCH(QString, uri);
        ServerDatabaseDialog dialog;
        Fill(&dialog, fields);
        QCOMPARE(Q(dialog.uri()), uri);
    }

    void openedDatabaseIsShownAndRememberedWithoutPassword_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("password");  // the answer to the prompt; empty cancels it
        QTest::addColumn<bool>("opened");
        QTest::newRow("password asked, kept nowhere") << "pelorin_pw" << true << kPassword << true;
        QTest::newRow("prompt cancelled") << "pelorin_pw" << true << "" << false;
        QTest::newRow("no such database") << "pelorin" << false << "" << false;
    }

    void openedDatabaseIsShownAndRememberedWithoutPassword() {
        QFETCH(QString, user);
        QFETCH(bool, exists);
        QFETCH(QString, password);
        QFETCH(bool, opened);
        if (!test::ServerAvailable()) {
            if (test::ServerRequired()) QFAIL("CI=true but no PostgreSQL server");
            QSKIP("No PostgreSQL server (scripts/test.sh starts one)");
        }
        qunsetenv("PGPASSWORD");
        const QUrl server(Q(test::FreshServerDatabase()));
        const QUrlQuery where(server.query());
        const QString database = exists ? server.path().mid(1) : "no_such_database";
        const QStringList fields{where.queryItemValue("host", QUrl::FullyDecoded),
                                 where.queryItemValue("port"), database, user};
        WindowHarness h;
        QString said;
        OpenServerDatabase(h, fields, password, said);
        qunsetenv("PGPASSWORD");

        const QString uri = Q(ServerDatabaseUri(fields[0].toStdString(), fields[1].toStdString(),
                                                database.toStdString(), user.toStdString()));
        auto* box = h.window->findChild<QLineEdit*>("txtMDBname");
        QCOMPARE(box->text() == uri, opened);
        QCOMPARE(Q(h.settings.read("Access Database", "")) == uri, opened);
        QCOMPARE(said.isEmpty(), opened || exists);
        if (!exists)
            QVERIFY2(said.contains("no_such_database") && !box->text().contains("no_such"),
                     qPrintable(said));
        for (const auto& [key, value] : h.settings.values())
            QVERIFY2(!Q(value).contains(kPassword), key.c_str());
        QVERIFY(!box->text().contains(kPassword));
    }
};

QTEST_MAIN(ServerDatabaseDialogTest)
#include "ServerDatabaseDialog_guitest.moc"
