// The Options dialog: OK stores, Cancel keeps the edits on screen without storing them, the close
// box unloads; a maximum text that is no whole number in range changes nothing and says why.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "app/OptionsDialog.h"
#include "support/WindowHarness.h"

using namespace pel;
using pel::test::Q;
using pel::test::WindowHarness;

namespace {

void WithOptions(WindowHarness& h, const std::function<void(QDialog*)>& act) {
    QVERIFY(test::WithModal(
        "frmOptions", [&] { h.window->showOptions(); }, act));
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
        QTest::addColumn<QString>("storedMax");  // empty: not stored
        QTest::addColumn<int>("max");
        QTest::addColumn<QString>("said");  // empty: accepted
        struct Row {
            const char* name;
            bool limit;
            const char* text;
            const char* storedMax;
            int max;
            const char* said;
        } rows[] = {{"unchecked, new maximum", false, "300", "300", 300, ""},
                    {"zero keeps the maximum", true, "0", "", 250, ""},
                    {"fraction rounded", true, "12.6", "13", 13, ""},
                    {"blanks around", true, "  40 ", "40", 40, ""},
                    {"largest", true, "2147483647", "2147483647", 2147483647, ""},
                    // A maximum that is no whole number in range changes nothing and says why.
                    {"empty", true, "", "", 250, "Enter the maximum"},
                    {"letters", true, "abc", "", 250, "is not a number"},
                    {"thousands separator", true, "1,000", "", 250, "is not a number"},
                    {"too large", true, "2147483648", "", 250, "out of range"}};
        for (const Row& r : rows)
            QTest::newRow(r.name) << r.limit << QString(r.text) << QString(r.storedMax) << r.max
                                  << QString(r.said);
    }

    void ok() {
        QFETCH(bool, limit);
        QFETCH(QString, text);
        QFETCH(QString, storedMax);
        QFETCH(int, max);
        QFETCH(QString, said);
        WindowHarness h;
        bool open = false;
        WithOptions(h, [&](QDialog* d) {
            In<QCheckBox>(d, "chkLimitPoints")->setChecked(limit);
            In<QLineEdit>(d, "txtMaxPoints")->setText(text);
            In<QPushButton>(d, "cmdOK")->click();
            open = d->isVisible();
        });
        QCOMPARE(h.state.maxPointsPerEb, max);
        if (!said.isEmpty()) {
            QVERIFY(open);
            QCOMPARE(h.settings.writes(), 0);
            QVERIFY(!h.state.limitPointsPerEb);
            QCOMPARE(h.dialogs.messages.size(), std::size_t(1));
            QVERIFY2(h.dialogs.messages[0].text.contains(said),
                     qPrintable(h.dialogs.messages[0].text));
            return;
        }
        QVERIFY(!open);
        QCOMPARE(h.state.limitPointsPerEb, limit);
        QCOMPARE(Q(h.settings.read("Limit Points Per EB", "")), QString(limit ? "True" : "False"));
        QCOMPARE(Q(h.settings.read("Max Points Per EB", "")), storedMax);
        QVERIFY(h.dialogs.messages.empty());
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
