// The search panel while the search runs beside the window: cancelling, a new search replacing a
// running one, what the panel shows after each, and opening entries whose files are odd or changed.
// The job, the listing and the result model themselves are tested in tests/search.
#include "files/analysis_writer.h"
#include "search/search_job.h"
#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <sys/stat.h>

using namespace tessik;
using namespace tessik::test;

namespace {

const QString kGap = QString(91, QLatin1Char(' '));

QByteArray analysisBytes(const QString &description, const QString &caption)
{
    Analysis a;
    a.description = description;
    a.office = QStringLiteral("O");
    a.table.BlockText[a.table.addBlock(5, 5)] = caption;
    return writeAnalysis(a);
}

// A file whose name is given as the file system's own bytes. Qt cannot name it, so it is
// removed here rather than with its temporary folder.
class RawNamedFile {
public:
    RawNamedFile(const QString &folder, const QByteArray &name, const QByteArray &bytes)
        : m_path(QFile::encodeName(folder) + '/' + name)
    {
        std::FILE *file = std::fopen(m_path.constData(), "wb");
        if (file == nullptr)
            return;
        const bool written =
            std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), file) == std::size_t(bytes.size());
        m_made = std::fclose(file) == 0 && written;
    }
    ~RawNamedFile() { std::remove(m_path.constData()); }
    bool made() const { return m_made; }

private:
    QByteArray m_path;
    bool m_made = false;
};

// Three analyses to find, and a link that leads nowhere, so the status line has something to say.
frmKelvane &windowOnLibrary(WindowFixture &f)
{
    QDir().mkpath(f.path("library"));
    writeBytes(f.path("library/Conveyor_op.rca.xml"), analysisBytes("Conveyor stopped twice", "Sensor data missing"));
    writeBytes(f.path("library/Flood.rca.xml"), analysisBytes("Basement flooded", "Drain blocked"));
    writeBytes(f.path("library/Press.rca.xml"), analysisBytes("Press jammed", "Sensor misaligned"));
    QFile::link(f.path("library/nowhere"), f.path("library/Dangling.rca.xml"));
    frmKelvane &w = f.start();
    w.document().setLastFolder(f.path("library") + QDir::separator());
    w.btnAnalyze->click();
    return w;
}

const QStringList kEveryAnalysis{"Basement flooded" + kGap + "[Flood]",
                                 "Conveyor stopped twice" + kGap + "[Conveyor_op]", "Press jammed" + kGap + "[Press]"};
const QStringList kSensorAnalyses{"Conveyor stopped twice" + kGap + "[Conveyor_op]", "Press jammed" + kGap + "[Press]"};
const QString kOneUnreadable = QStringLiteral("1 file could not be read and was left out.");

void startSearch(frmKelvane &w, const QString &phrase)
{
    w.txtKeyWord->clear();
    typeText(w.txtKeyWord, phrase);
    w.btnSearch->click();
}

// Gives a search on a small folder time to finish and post its outcome without handling it,
// so that what follows meets a search that has already reported.
void letTheSearchReport()
{
    QThread::msleep(100);
}

// Until every thread the window started has ended, and whatever they posted has been handled:
// a cancelled search that still reported would show by then.
void settle(frmKelvane &w)
{
    const SearchJob *job = w.findChild<SearchJob *>();
    QVERIFY(job != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(job->isIdle(), 60000);
    QCoreApplication::processEvents();
}

struct PanelState {
    QStringList entries;
    QString status;
    bool progressShown = false;
    QString caption;
};

PanelState panelOf(frmKelvane &w)
{
    return {listedEntries(w), w.lblSearchStatus->text(), !w.prgSearch->isHidden(), w.btnSearch->text()};
}

void comparePanel(frmKelvane &w, const QStringList &entries, const QString &status)
{
    const PanelState shown = panelOf(w);
    QCOMPARE(shown.entries, entries);
    QCOMPARE(shown.status, status);
    QVERIFY(!shown.progressShown);
    QCOMPARE(shown.caption, QString("Search"));
}

} // namespace

class TestSearchAsync : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A cancelled search leaves the list and the status line as the last finished search left
    // them, whichever way it was cancelled.
    void cancelLeavesTheLastOutcome_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("the button") << "button";
        QTest::newRow("Esc") << "Esc";
        QTest::newRow("Done") << "Done";
    }
    void cancelLeavesTheLastOutcome()
    {
        QFETCH(QString, how);
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        QApplication::setActiveWindow(&w); // Esc is a shortcut: it goes to the active window
        startSearch(w, "block");
        waitForSearch(w);
        comparePanel(w, kEveryAnalysis, kOneUnreadable);

        startSearch(w, "drain");
        QVERIFY(w.searchRunning());
        QCOMPARE(w.btnSearch->text(), QString("Cancel"));
        QVERIFY(!w.prgSearch->isHidden());
        letTheSearchReport();
        if (how == "button")
            w.btnSearch->click();
        else if (how == "Esc")
            QTest::keyClick(w.txtKeyWord, Qt::Key_Escape);
        else
            w.btnAnalysisDone->click();
        QVERIFY(!w.searchRunning());
        settle(w);
        comparePanel(w, kEveryAnalysis, kOneUnreadable);
        QCOMPARE(w.frameAnalyze->isHidden(), how == "Done");
        QCOMPARE(w.txtKeyWord->text(), QString("drain"));
        if (how == "Esc") { // with no search running, Esc closes the panel as Done does
            QTest::keyClick(w.txtKeyWord, Qt::Key_Escape);
            QVERIFY(w.frameAnalyze->isHidden() && !w.frameControl->isHidden());
        }
    }

    // Enter with a phrase starts a new search whether one runs or not; only the new one's
    // outcome is shown. Enter with an empty phrase leaves the running search alone.
    void newSearchReplacesTheRunningOne_data()
    {
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("another phrase") << "SENSOR" << kSensorAnalyses;
        QTest::newRow("empty phrase: the first goes on") << "" << kEveryAnalysis;
    }
    void newSearchReplacesTheRunningOne()
    {
        QFETCH(QString, second);
        QFETCH(QStringList, entries);
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        startSearch(w, "block");
        QVERIFY(w.searchRunning());
        letTheSearchReport();
        w.txtKeyWord->clear();
        typeText(w.txtKeyWord, second);
        pressEnter(w.txtKeyWord);
        QVERIFY(w.searchRunning());
        QCOMPARE(w.btnSearch->text(), QString("Cancel"));
        waitForSearch(w);
        settle(w);
        comparePanel(w, entries, kOneUnreadable);
        QCOMPARE(w.txtKeyWord->text(), second);
    }

    // Entries deep in a long list open their own file.
    void entryFarDownOpensItsFile()
    {
        WindowFixture f;
        QDir().mkpath(f.path("many"));
        const int files = 400;
        for (int i = 0; i < files; ++i)
            QVERIFY(writeBytes(f.path(QStringLiteral("many/F%1.rca.xml").arg(i, 3, 10, QLatin1Char('0'))),
                               analysisBytes(QStringLiteral("Event %1").arg(i, 3, 10, QLatin1Char('0')), "X")));
        frmKelvane &w = f.start();
        w.document().setLastFolder(f.path("many") + QDir::separator());
        w.btnAnalyze->click();
        startSearch(w, "event");
        waitForSearch(w);
        QCOMPARE(w.lstFileNames->model()->rowCount(), files);
        w.lstFileNames->scrollToBottom();
        const QModelIndex last = w.lstFileNames->model()->index(files - 1, 0);
        QTest::mouseClick(w.lstFileNames->viewport(), Qt::LeftButton, {}, w.lstFileNames->visualRect(last).center());
        QCOMPARE(w.document().currentFile(), f.path(QStringLiteral("many/F%1.rca.xml").arg(files - 1)));
        QCOMPARE(w.txtDescription->text(), QStringLiteral("Event %1").arg(files - 1));
    }

    // However short the last entry, the rows are wide enough for the longest: no name is cut.
    void longestEntryFitsItsRow()
    {
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        writeBytes(f.path("library/Long.rca.xml"),
                   analysisBytes("A description far longer than any other in the folder, as some are", "Sensor"));
        writeBytes(f.path("library/Z.rca.xml"), analysisBytes("Z", "Sensor"));
        startSearch(w, "sensor");
        waitForSearch(w);
        const QStringList entries = listedEntries(w);
        QCOMPARE(entries.size(), 4);
        QVERIFY(entries.last().startsWith("Z "));
        const QFontMetrics metrics(w.lstFileNames->font());
        for (int row = 0; row < entries.size(); ++row)
            QVERIFY(w.lstFileNames->visualRect(w.lstFileNames->model()->index(row, 0)).width() >
                    metrics.horizontalAdvance(entries[row]));
    }

    // A file too large for an analysis is left out without being read, and said so; the
    // files that could be read are listed as usual.
    void fileTooLargeIsLeftOutAndCounted()
    {
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        const QString huge = f.path("library/Huge.rca.xml");
        QVERIFY(writeBytes(huge, analysisBytes("Huge", "Sensor")));
        QFile file(huge);
        QVERIFY(file.resize(kMaxAnalysisFileBytes + 1)); // sparse: costs no disk space
        startSearch(w, "sensor");
        waitForSearch(w);
        comparePanel(w, kSensorAnalyses,
                     kOneUnreadable + QStringLiteral(" 1 file is larger than 256 MB and was left out."));
        QCOMPARE(QFileInfo(huge).size(), kMaxAnalysisFileBytes + 1);
    }

    // A name the system's encoding cannot show is listed with a stand-in character and opens.
    void nameThatIsNotValidTextOpens()
    {
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        const RawNamedFile rawNamed(f.path("library"), "Caf\xE9.rca.xml",
                                    analysisBytes("Caf\u00e9 counter", "Milk frother"));
        if (!rawNamed.made())
            QSKIP("the file system does not take this name");
        startSearch(w, "frother");
        waitForSearch(w);
        QCOMPARE(w.lstFileNames->model()->rowCount(), 1);
        const QModelIndex entry = w.lstFileNames->model()->index(0, 0);
        QVERIFY(entry.data().toString().startsWith("Caf\u00e9 counter" + kGap + "[Caf"));
        QTest::mouseClick(w.lstFileNames->viewport(), Qt::LeftButton, {}, w.lstFileNames->visualRect(entry).center());
        QVERIFY2(f.platform.messages.isEmpty(), qPrintable(f.platform.messages.value(0)));
        QCOMPARE(w.txtDescription->text(), QString("Caf\u00e9 counter"));
        QCOMPARE(w.table().BlockText[1], QString("Milk frother"));
        QVERIFY(!w.document().isModified());
    }

    // An entry whose file changed since the search opens nothing and says which file and why.
    void entryWhoseFileChangedSinceTheSearch_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("reason");
        QTest::newRow("now a folder") << "folder"
                                      << "This is a folder, not a file.";
        QTest::newRow("now a pipe") << "pipe"
                                    << "This is not an ordinary file.";
        QTest::newRow("now too large") << "large"
                                       << "The file is too large for an analysis file";
    }
    void entryWhoseFileChangedSinceTheSearch()
    {
        QFETCH(QString, change);
        QFETCH(QString, reason);
        WindowFixture f;
        frmKelvane &w = windowOnLibrary(f);
        startSearch(w, "drain");
        waitForSearch(w);
        const QString path = f.path("library/Flood.rca.xml");
        if (change == "large") {
            QFile file(path);
            QVERIFY(file.resize(kMaxAnalysisFileBytes + 1));
        } else {
            QVERIFY(QFile::remove(path));
            if (change == "folder")
                QVERIFY(QDir().mkdir(path));
            else
                QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }
        const QModelIndex entry = w.lstFileNames->model()->index(0, 0);
        QTest::mouseClick(w.lstFileNames->viewport(), Qt::LeftButton, {}, w.lstFileNames->visualRect(entry).center());
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].contains("Flood.rca.xml"));
        QVERIFY2(f.platform.messages[0].contains(reason), qPrintable(f.platform.messages[0]));
        QVERIFY(w.document().currentFile().isEmpty());
        QCOMPARE(w.table().BlockCount, std::int16_t(0));
    }
};

QTEST_MAIN(TestSearchAsync)
#include "test_search_async.moc"
