#include "app/core/paths.h"

#include <QTest>

using namespace tessik;

class TestPaths : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNameOnly_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("analysis") << "C:\\Data\\Conveyor_op.rca.xml" << "Conveyor_op";
        QTest::newRow("ending in capitals") << "C:\\Data\\Old.RCA.XML" << "Old";
        QTest::newRow("another file") << "C:\\Data\\list.txt" << "list.txt";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("mixed separators") << "/home/me\\rca/Pump.rca.xml" << "Pump";
        QTest::newRow("ending in the middle") << "/a/x.rca.xml.bak" << "x";
        QTest::newRow("no folder") << "Solo.rca.xml" << "Solo";
    }
    void fileNameOnly()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(FileNameOnly(path), name);
    }

    void findPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::newRow("backslashes") << "C:\\Data\\Conveyor_op.rca.xml" << "C:\\Data\\";
        QTest::newRow("mixed, last one counts") << "C:\\Data/sub\\a.rca.xml" << "C:\\Data/sub\\";
        QTest::newRow("no folder") << "a.rca.xml" << "";
    }
    void findPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QCOMPARE(FindPath(path), folder);
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "test_paths.moc"
