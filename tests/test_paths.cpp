#include "files/paths.h"

#include <QTest>

using namespace tessik;

class TestPaths : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNameOnly_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("analysis") << "/data/Conveyor_op.rca.xml"
                                  << "Conveyor_op";
        QTest::newRow("ending in capitals") << "/data/Old.RCA.XML"
                                            << "Old";
        QTest::newRow("another file") << "/data/list.txt"
                                      << "list.txt";
        QTest::newRow("empty") << ""
                               << "";
#ifdef Q_OS_WIN
        QTest::newRow("mixed separators") << "C:\\Data/rca\\Pump.rca.xml"
                                          << "Pump";
#else
        QTest::newRow("backslash is part of the name") << "/home/me/a\\Pump.rca.xml"
                                                       << "a\\Pump";
#endif
        QTest::newRow("ending in the middle") << "/a/x.rca.xml.bak"
                                              << "x";
        QTest::newRow("no folder") << "Solo.rca.xml"
                                   << "Solo";
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
        QTest::newRow("folder") << "/data/Conveyor_op.rca.xml"
                                << "/data/";
#ifdef Q_OS_WIN
        QTest::newRow("mixed, last one counts") << "C:\\Data/sub\\a.rca.xml"
                                                << "C:\\Data/sub\\";
#else
        QTest::newRow("backslash is no separator") << "/data/sub\\a.rca.xml"
                                                   << "/data/";
#endif
        QTest::newRow("no folder") << "a.rca.xml"
                                   << "";
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
