// The Options dialog: OK stores, Cancel keeps the edits on screen without storing them, the close
// box unloads; a maximum text that is no whole number in range changes nothing and says why.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/OptionsDialog.h"
#include "support/WindowHarness.h"

using namespace pel;
using pel::test::WindowHarness;

namespace {

// Runs `act` on the Options dialog once Tools > Options has shown it.
void WithOptions(WindowHarness& h, const std::function<void(QDialog*)>& act) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != "frmOptions") return;
        ran = true;
        act(dialog);
        if (dialog->isVisible()) dialog->reject();  // never leave the test waiting
    });
    h.window->showOptions();
    QVERIFY(ran);
}

template <class T>
T* In(QDialog* dialog, const char* name) {
    return dialog->findChild<T*>(name);
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void loadsFromTheStateAndFollowsTheBox() {
        WindowHarness h;
        h.state.limitPointsPerEb = true;
        h.state.maxPointsPerEb = 500;
        WithOptions(h, [](QDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Options"));
            QVERIFY(In<QCheckBox>(d, "chkLimitPoints")->isChecked());
            QCOMPARE(In<QLineEdit>(d, "txtMaxPoints")->text(), QString("500"));
            QVERIFY(In<QLineEdit>(d, "txtMaxPoints")->isEnabled());
            In<QCheckBox>(d, "chkLimitPoints")->click();
            QVERIFY(!In<QLineEdit>(d, "txtMaxPoints")->isEnabled());
            QVERIFY(!In<QLabel>(d, "Label1")->isEnabled());
        });
    }

    void ok_data() {
        QTest::addColumn<bool>("limit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("storedLimit");
        QTest::addColumn<QString>("storedMax");  // empty: not stored
        QTest::addColumn<int>("max");
        QTest::newRow("unchecked, new maximum") << false << "300"
                                                << "False"
                                                << "300" << 300;
        QTest::newRow("zero keeps the maximum") << true << "0"
                                                << "True"
                                                << "" << 250;
        QTest::newRow("negative keeps the maximum") << true << "-5"
                                                    << "True"
                                                    << "" << 250;
        QTest::newRow("fraction rounded") << true << "12.6"
                                          << "True"
                                          << "13" << 13;
        QTest::newRow("blanks around") << true << "  40 "
                                       << "True"
                                       << "40" << 40;
        QTest::newRow("largest") << true << "2147483647"
                                 << "True"
                                 << "2147483647" << 2147483647;
    }

    void ok() {
        QFETCH(bool, limit);
        QFETCH(QString, text);
        QFETCH(QString, storedLimit);
        QFETCH(QString, storedMax);
        QFETCH(int, max);
        WindowHarness h;
        bool hidden = false;
        WithOptions(h, [&](QDialog* d) {
            In<QCheckBox>(d, "chkLimitPoints")->setChecked(limit);
            In<QLineEdit>(d, "txtMaxPoints")->setText(text);
            In<QPushButton>(d, "cmdOK")->click();
            hidden = !d->isVisible();
        });
        QVERIFY(hidden);
        QCOMPARE(h.state.limitPointsPerEb, limit);
        QCOMPARE(h.state.maxPointsPerEb, max);
        QCOMPARE(QString::fromStdString(h.settings.read("Limit Points Per EB", "")), storedLimit);
        QCOMPARE(QString::fromStdString(h.settings.read("Max Points Per EB", "")), storedMax);
        QVERIFY(h.dialogs.messages.empty());
    }

    void aMaximumThatIsNoWholeNumberInRangeChangesNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("said");
        QTest::newRow("empty") << ""
                               << "Enter the maximum";
        QTest::newRow("blanks") << "   "
                                << "Enter the maximum";
        QTest::newRow("letters") << "abc"
                                 << "is not a number";
        QTest::newRow("thousands separator") << "1,000"
                                             << "is not a number";
        QTest::newRow("too large") << "2147483648"
                                   << "out of range";
        QTest::newRow("far too small") << "-1e12"
                                       << "out of range";
    }

    void aMaximumThatIsNoWholeNumberInRangeChangesNothing() {
        QFETCH(QString, text);
        QFETCH(QString, said);
        WindowHarness h;
        bool stillOpen = false;
        WithOptions(h, [&](QDialog* d) {
            In<QCheckBox>(d, "chkLimitPoints")->setChecked(true);
            In<QLineEdit>(d, "txtMaxPoints")->setText(text);
            In<QPushButton>(d, "cmdOK")->click();
            stillOpen = d->isVisible();
        });
        QVERIFY(stillOpen);
        QCOMPARE(h.settings.writes(), 0);
        QVERIFY(!h.state.limitPointsPerEb);
        QCOMPARE(h.state.maxPointsPerEb, 250);
        QCOMPARE(h.dialogs.messages.size(), std::size_t(1));
        QVERIFY2(h.dialogs.messages[0].text.contains(said), qPrintable(h.dialogs.messages[0].text));
    }

    void cancelKeepsTheEditsOnScreenAndStoresNothing() {
        WindowHarness h;
        h.state.limitPointsPerEb = true;
        WithOptions(h, [](QDialog* d) {
            In<QCheckBox>(d, "chkLimitPoints")->setChecked(false);
            In<QLineEdit>(d, "txtMaxPoints")->setText("77");
            In<QPushButton>(d, "cmdCancel")->click();
        });
        QVERIFY(h.state.limitPointsPerEb);
        QCOMPARE(h.settings.writes(), 0);
        // Opened again: the cancelled edits are still there, and a later OK stores them.
        WithOptions(h, [](QDialog* d) {
            QVERIFY(!In<QCheckBox>(d, "chkLimitPoints")->isChecked());
            QCOMPARE(In<QLineEdit>(d, "txtMaxPoints")->text(), QString("77"));
            In<QPushButton>(d, "cmdOK")->click();
        });
        QVERIFY(!h.state.limitPointsPerEb);
        QCOMPARE(h.state.maxPointsPerEb, 77);
    }

    void theCloseBoxUnloadsAndTheNextOpeningLoadsAgain() {
        WindowHarness h;
        WithOptions(h, [](QDialog* d) {
            In<QLineEdit>(d, "txtMaxPoints")->setText("999");
            d->close();
        });
        QCOMPARE(h.settings.writes(), 0);
        WithOptions(h, [](QDialog* d) {
            QCOMPARE(In<QLineEdit>(d, "txtMaxPoints")->text(), QString("250"));
        });
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialog_guitest.moc"
