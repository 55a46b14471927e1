#include "files/analysis_writer.h"
#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

const QString kGap = QString(91, QLatin1Char(' '));

void putAnalysis(const WindowFixture &f, const QString &name, const QString &description, const QStringList &captions)
{
    Analysis a;
    a.description = description;
    a.office = "O";
    for (int i = 0; i < captions.size(); ++i) {
        a.table.addBlock(float(i * 15 + 5), 5);
        a.table.BlockText[i + 1] = captions[i];
        a.table.BlockCategory[i + 1] = "Motives";
    }
    writeBytes(f.path("library/" + name), writeAnalysis(a));
}

// A library folder the window searches, as if the last analysis had come from there.
frmKelvane &windowOnLibrary(WindowFixture &f)
{
    QDir().mkpath(f.path("library"));
    putAnalysis(f, "Conveyor_op.rca.xml", "Conveyor stopped twice", {"Conveyor stopped", "Sensor data missing"});
    putAnalysis(f, "Flood.rca.xml", "Basement [east] flooded", {"Drain blocked"});
    putAnalysis(f, "OLD.RCA.XML", "Old analysis", {"Pump seized"});
    putAnalysis(f, "Empty.rca.xml", "Nothing drawn yet", {});
    frmKelvane &w = f.start();
    w.document().setLastFolder(f.path("library") + QDir::separator());
    return w;
}

QStringList listed(frmKelvane &w)
{
    return listedEntries(w);
}

void search(frmKelvane &w, const QString &phrase)
{
    w.btnAnalyze->click();
    typeText(w.txtKeyWord, phrase);
    w.btnSearch->click();
    waitForSearch(w);
}

void clickEntry(frmKelvane &w, int row)
{
    const QModelIndex index = w.lstFileNames->model()->index(row, 0);
    QTest::mouseClick(w.lstFileNames->viewport(), Qt::LeftButton, {}, w.lstFileNames->visualRect(index).center());
}

} // namespace

class TestSearchWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void panelSearchesByButtonAndByEnter()
    {
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        search(w, "block"); // every file with a block, sorted by description
        const QStringList entries{"Basement [east] flooded" + kGap + "[Flood]",
                                  "Conveyor stopped twice" + kGap + "[Conveyor_op]", "Old analysis" + kGap + "[OLD]"};
        QCOMPARE(listed(w), entries);
        QVERIFY(w.lblSearchStatus->text().isEmpty());
        w.btnAnalysisDone->click();
        QVERIFY(w.frameAnalyze->isHidden() && !w.frameControl->isHidden());
        w.btnAnalyze->click(); // opens again empty, ready for typing
        QVERIFY(!w.frameAnalyze->isHidden() && w.frameControl->isHidden());
        QVERIFY(w.txtKeyWord->text().isEmpty());
        QCOMPARE(w.lstFileNames->model()->rowCount(), 0);
        QCOMPARE(QApplication::focusWidget(), w.txtKeyWord);
        QTest::keyClicks(w.txtKeyWord, "BLOCK");
        pressEnter(w.txtKeyWord);
        waitForSearch(w);
        QCOMPARE(listed(w), entries);
        QCOMPARE(w.txtKeyWord->text(), QString("BLOCK"));
        w.txtKeyWord->clear(); // an empty phrase changes nothing
        w.btnSearch->click();
        QVERIFY(!w.searchRunning());
        QCOMPARE(listed(w), entries);
        typeText(w.txtKeyWord, "volcano");
        w.btnSearch->click();
        waitForSearch(w);
        QVERIFY(listed(w).isEmpty());
    }

    void clickingAnEntryLoadsItsFileWithTheHitsHighlighted_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QString>("file");
        QTest::addColumn<float>("hitX"); // the left edge of the block that holds the phrase
        QTest::newRow("second block is the hit") << "SENSOR"
                                                 << "Conveyor_op.rca.xml" << 15.0f;
        QTest::newRow("ending in capitals") << "seized"
                                            << "OLD.RCA.XML" << 0.0f;
        QTest::newRow("brackets in the description") << "drain"
                                                     << "Flood.rca.xml" << 0.0f;
    }
    void clickingAnEntryLoadsItsFileWithTheHitsHighlighted()
    {
        QFETCH(QString, phrase);
        QFETCH(QString, file);
        QFETCH(float, hitX);
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        const QString lastFolder = w.document().lastFolder();
        search(w, phrase);
        QCOMPARE(w.lstFileNames->model()->rowCount(), 1);
        clickEntry(w, 0);
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(w.document().currentFile(), f.path("library/" + file));
        QCOMPARE(w.windowTitle(), "Tessik: " + file.left(file.indexOf('.')));
        QVERIFY(!w.document().isModified());
        QCOMPARE(w.document().lastFolder(), lastFolder);
        QVERIFY(!w.frameAnalyze->isHidden()); // the panel stays open for the next one
        QCOMPARE(w.table().BlockCategory[1], QString("Motives"));
        // Drawn with the phrase: the hit has a red outline and a pink shadow.
        QCOMPARE(diagramColour(w, hitX, 5), kRed);
        QCOMPARE(diagramColour(w, hitX + 10.2f, 5), RGB(255, 164, 164));
    }

    void unsavedEditsAreGuarded()
    {
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        clickDiagram(w, Qt::LeftButton, 30, 0);
        pressEnter(w.txtText);
        search(w, "SENSOR");
        f.platform.messageAnswers.enqueue(MessageAnswer::No);
        clickEntry(w, 0);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(w.table().BlockCount, std::int16_t(1));
        QVERIFY(w.document().currentFile().isEmpty());
        QVERIFY(w.document().isModified());
    }

    void fileGoneSinceTheSearch()
    {
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        search(w, "SENSOR");
        QFile::remove(f.path("library/Conveyor_op.rca.xml"));
        clickEntry(w, 0);
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].contains("Conveyor_op.rca.xml"));
        QVERIFY(w.document().currentFile().isEmpty());
    }

    void panelSaysWhatItCouldNotRead()
    {
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        QDir().mkpath(f.path("library/folder.rca.xml")); // not a file: not listed
        QFile::link(f.path("library/nowhere"), f.path("library/Dangling.rca.xml"));
        search(w, "xml");
        QCOMPARE(w.lstFileNames->model()->rowCount(), 4);
        QVERIFY(w.lblSearchStatus->text().contains('1'));
        w.document().setLastFolder(f.path("no such folder") + QDir::separator());
        w.btnSearch->click();
        waitForSearch(w);
        QCOMPARE(w.lstFileNames->model()->rowCount(), 0);
        QVERIFY(w.lblSearchStatus->text().contains("no such folder"));
    }
};

QTEST_MAIN(TestSearchWindow)
#include "test_search_window.moc"
