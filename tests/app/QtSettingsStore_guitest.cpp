// The window's settings store keeps values as text under "Properties" (the window's own place
// and tab under "Window") and reads defaults for keys never written.

#include <QStandardPaths>
#include <QTest>

#include "ui/QtSettingsStore.h"

class QtSettingsStoreTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void readsDefaultsAndWrittenValues() {
        {
            QSettings raw(QSettings::UserScope, "Pelorin Conversion Utility",
                          "Pelorin Conversion Utility");
            raw.clear();
        }
        pel::QtSettingsStore store;
        QCOMPARE(store.read("EB-file Directory", "/home/u"), std::string("/home/u"));
        store.write("Max Points Per EB", "300");
        store.write("Access Database", "/data/caf\xC3\xA9 plant.db");
        store.writeWindow("Tab", "2");
        pel::QtSettingsStore again;
        QCOMPARE(again.read("Max Points Per EB", "250"), std::string("300"));
        QCOMPARE(again.read("Access Database", ""), std::string("/data/caf\xC3\xA9 plant.db"));
        QSettings raw(QSettings::UserScope, "Pelorin Conversion Utility",
                      "Pelorin Conversion Utility");
        QCOMPARE(raw.value("Properties/Max Points Per EB").toString(), QString("300"));
        QCOMPARE(raw.value("Window/Tab").toString(), QString("2"));
        QCOMPARE(again.readWindow("Tab", "1"), std::string("2"));
        QVERIFY(!raw.contains("Properties/Tab"));
    }
};

QTEST_GUILESS_MAIN(QtSettingsStoreTest)
#include "QtSettingsStore_guitest.moc"
