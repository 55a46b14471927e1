// The search runs beside the window: cancelled, or replaced by a new one, it leaves the panel
// showing the outcome of the last search that ran to its end.
#include "files/analysis_writer.h"
#include "search/search_job.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QThread>

using namespace tessik;
using namespace tessik::test;

namespace {

const QString kGap(91, ' '), kStatus = " | 1 file could not be read and was left out.";
const QString kConveyor = " | Conveyor stopped twice" + kGap + "[Conveyor_op]",
              kPress = " | Press jammed" + kGap + "[Press]";
const QString kEvery = "frameAnalyze Search" + kStatus + " | Basement flooded" + kGap + "[Flood]" + kConveyor + kPress;
const Step clearPhrase = [](WindowFixture &f) { f.window->txtKeyWord->clear(); };

void put(WindowFixture &f, const QString &name, const QString &description, const QString &caption)
{
    Analysis a{description, "op", "O", {}};
    a.table.BlockText[a.table.addBlock(5, 5)] = caption;
    writeBytes(f.path("work/" + name), writeAnalysis(a));
}

} // namespace

class SearchPanelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A search for "block" (every file) has ended; one for "drain" runs, and has reported
    // without the window handling it yet, when the row's gesture comes.
    void cancelOrReplaceTheRunningSearch_data()
    {
        QTest::addColumn<QList<Step>>("gesture");
        QTest::addColumn<QString>("shown"); // the panel afterwards
        const Step esc = key(Qt::Key_Escape), enter = key(Qt::Key_Return);
        QTest::newRow("Cancel") << QList<Step>{press("btnSearch")} << kEvery;
        QTest::newRow("Esc") << QList<Step>{esc} << kEvery;
        QTest::newRow("a new search") << QList<Step>{clearPhrase, type("txtKeyWord", "SENSOR"), enter}
                                      << "frameAnalyze Search" + kStatus + kConveyor + kPress;
    }
    void cancelOrReplaceTheRunningSearch()
    {
        QFETCH(QList<Step>, gesture);
        QFETCH(QString, shown);
        WindowFixture f;
        put(f, "Conveyor_op.rca.xml", "Conveyor stopped twice", "Sensor data missing");
        put(f, "Press.rca.xml", "Press jammed", "Sensor misaligned");
        put(f, "Flood.rca.xml", "Basement flooded", "Drain blocked");
        QFile::link(f.path("nowhere"), f.path("work/Dangling.rca.xml"));
        frmKelvane &w = f.start();
        run(f, {load("work/Flood.rca.xml"), search("block")});
        QCOMPARE(observe(w).panel, kEvery);
        QCOMPARE(w.prgSearch->text(), QString("4 of 4 files read")); // the bar ended full
        run(f, {clearPhrase, type("txtKeyWord", "drain"), press("btnSearch")});
        QVERIFY(observe(w).panel.startsWith("frameAnalyze Cancel running" + kStatus));
        QThread::msleep(100);
        run(f, gesture);
        waitForSearch(w);
        QTRY_VERIFY(w.findChild<SearchJob *>()->isIdle()); // whatever a cancelled search posted has come
        QCoreApplication::processEvents();
        QCOMPARE(observe(w).panel, shown);
    }
};

TESSIK_TEST(SearchPanelTest)
#include "search_panel_test.moc"
