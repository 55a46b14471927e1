#include "files/analysis_writer.h"
#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
    w.LastFolder = f.path("library") + QDir::separator();
    return w;
}

QStringList listed(frmKelvane &w)
{
    QStringList texts;
    for (int i = 0; i < w.lstFileNames->count(); ++i)
        texts.append(w.lstFileNames->item(i)->text());
    return texts;
}

void search(frmKelvane &w, const QString &phrase)
{
    w.btnAnalyze->click();
    typeText(w.txtKeyWord, phrase);
    w.btnSearch->click();
}

void clickEntry(frmKelvane &w, int row)
{
    QListWidgetItem *item = w.lstFileNames->item(row);
    QTest::mouseClick(w.lstFileNames->viewport(), Qt::LeftButton, {}, w.lstFileNames->visualItemRect(item).center());
}

} // namespace

class TestSearchWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openingThePanel()
    {
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        search(w, "block");
        QVERIFY(w.lstFileNames->count() > 0);
        w.btnAnalysisDone->click();
        QVERIFY(w.frameAnalyze->isHidden());
        QVERIFY(!w.frameControl->isHidden());
        w.btnAnalyze->click();
        QVERIFY(!w.frameAnalyze->isHidden());
        QVERIFY(w.frameControl->isHidden() && w.frameEdit->isHidden());
        QVERIFY(w.txtKeyWord->text().isEmpty());
        QCOMPARE(w.lstFileNames->count(), 0);
        QCOMPARE(QApplication::focusWidget(), w.txtKeyWord);
    }

    void resultsShowDescriptionAndName_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("caption in capitals") << "SENSOR" << QStringList{"Conveyor stopped twice" + kGap + "[Conveyor_op]"};
        QTest::newRow("every file with a block")
            << "block"
            << QStringList{"Basement [east] flooded" + kGap + "[Flood]", "Conveyor stopped twice" + kGap + "[Conveyor_op]",
                           "Old analysis" + kGap + "[OLD]"};
        QTest::newRow("every file") << "xml" << QStringList{"Basement [east] flooded" + kGap + "[Flood]",
                                                            "Conveyor stopped twice" + kGap + "[Conveyor_op]",
                                                            "Nothing drawn yet" + kGap + "[Empty]",
                                                            "Old analysis" + kGap + "[OLD]"};
        QTest::newRow("nothing") << "volcano" << QStringList{};
    }
    void resultsShowDescriptionAndName()
    {
        QFETCH(QString, phrase);
        QFETCH(QStringList, entries);
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        search(w, phrase);
        QCOMPARE(listed(w), entries);
        QVERIFY(w.lblSearchStatus->text().isEmpty());
    }

    void enterSearchesLikeTheButton()
    {
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        search(w, "pump");
        const QStringList byButton = listed(w);
        w.btnAnalyze->click();
        typeText(w.txtKeyWord, "pump");
        pressEnter(w.txtKeyWord);
        QCOMPARE(listed(w), byButton);
        QCOMPARE(w.txtKeyWord->text(), QString("pump"));
        // An empty phrase changes nothing.
        w.txtKeyWord->clear();
        w.btnSearch->click();
        QCOMPARE(listed(w), byButton);
    }

    void clickingAnEntryLoadsItWithTheHitsHighlighted()
    {
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        const QString lastFolder = w.LastFolder;
        search(w, "SENSOR");
        clickEntry(w, 0);
        QCOMPARE(w.CurrentFile, f.path("library/Conveyor_op.rca.xml"));
        QCOMPARE(w.windowTitle(), QString("Tessik: Conveyor_op"));
        QVERIFY(!w.Unsaved);
        QCOMPARE(w.LastFolder, lastFolder);
        QVERIFY(!w.frameAnalyze->isHidden()); // the panel stays open for the next one
        QCOMPARE(w.table().BlockCategory[2], QString("Motives"));
        // Block 2 ('Sensor data missing', at 15, 0) is a hit: red outline, pink shadow.
        QCOMPARE(diagramColour(w, 15, 5), kRed);
        QCOMPARE(diagramColour(w, 25.2f, 5), RGB(255, 164, 164));
        QCOMPARE(diagramColour(w, 0, 5), kBlack); // block 1 is no hit
    }

    void entriesLoadTheirOwnFile_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QString>("file");
        QTest::newRow("ending in capitals") << "seized" << "OLD.RCA.XML";
        QTest::newRow("brackets in the description") << "drain" << "Flood.rca.xml";
    }
    void entriesLoadTheirOwnFile()
    {
        QFETCH(QString, phrase);
        QFETCH(QString, file);
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        search(w, phrase);
        QCOMPARE(w.lstFileNames->count(), 1);
        clickEntry(w, 0);
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(w.CurrentFile, f.path("library/" + file));
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
        QVERIFY(w.CurrentFile.isEmpty());
        QVERIFY(w.Unsaved);
        QCOMPARE(w.lstFileNames->currentRow(), 0);
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
        QVERIFY(w.CurrentFile.isEmpty());
        QCOMPARE(w.windowTitle(), QString("Tessik"));
    }

    void panelSaysWhatItCouldNotRead()
    {
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        QDir().mkpath(f.path("library/folder.rca.xml")); // not a file: not listed
        QFile::link(f.path("library/nowhere"), f.path("library/Dangling.rca.xml"));
        search(w, "xml");
        QCOMPARE(w.lstFileNames->count(), 4);
        QVERIFY(w.lblSearchStatus->text().contains('1'));
        w.LastFolder = f.path("no such folder") + QDir::separator();
        w.btnSearch->click();
        QCOMPARE(w.lstFileNames->count(), 0);
        QVERIFY(w.lblSearchStatus->text().contains("no such folder"));
    }
};

QTEST_MAIN(TestSearchWindow)
#include "test_search_window.moc"
