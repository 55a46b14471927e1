// What a user may throw at Tessik through the window: damaged files, saves that cannot succeed,
// searches in folders that misbehave. Every case ends without a crash or a hang, with the message
// the user must see, with the document as it was when the action failed, and with every file that
// was there left as it was.
#include "files/analysis_writer.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <csignal>
#include <sys/resource.h>

using namespace tessik;
using namespace tessik::test;

namespace {

enum Action { Load, SaveAs, FullDiskSave, SaveKeptCaption, OpenVanishedResult, Search };

// The file put at `file` before the start (none when empty; "link" makes it a link to nowhere),
// what the user does with `target` (a path, or the search's status), the messages shown, and the
// blocks loaded (-1: the document stays as it was).
using BadInput = std::tuple<QString, QByteArray, Action, QString, int, int>;

QMap<QString, QByteArray> fingerprints(const QString &root)
{
    QMap<QString, QByteArray> prints;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString file = it.next();
        if (!it.fileInfo().isSymLink())
            prints.insert(file, QCryptographicHash::hash(readBytes(file), QCryptographicHash::Sha256));
    }
    return prints;
}

// Five blocks, each under the one before it.
QByteArray goodFile(const QList<QByteArray> &replacements = {})
{
    Analysis a = analysisWith(5);
    for (int i = 2; i <= 5; ++i)
        a.table.BlockParent[i] = std::int16_t(i - 1);
    QByteArray bytes = writeAnalysis(a);
    for (qsizetype i = 0; i + 1 < replacements.size(); i += 2)
        bytes.replace(replacements[i], replacements[i + 1]);
    return bytes;
}

// Works on what was loaded: a replay run and a move of the first block with its descendants.
void workOn(frmKelvane &w)
{
    for (int i = 0; i < 6; ++i)
        w.btnAnimateForward->click();
    const BlockTable &t = observe(w).table;
    for (int id = 1; id <= t.BlockCount; ++id)
        if (t.isLive(id))
            return dragDiagram(w, t.BlockX[id] + 5, t.BlockY[id] + 5, t.BlockX[id] + 6, t.BlockY[id] + 5,
                               Qt::ShiftModifier);
}

void search(frmKelvane &w, const QString &status)
{
    w.btnAnalyze->click();
    w.txtKeyWord->setText("pump");
    w.btnSearch->click();
    QVERIFY2(w.lblSearchStatus->text().contains(status), qPrintable(w.lblSearchStatus->text()));
}

} // namespace

class BadInputsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(".")); } // Qt's own complaints are faults too

    void badInput_data()
    {
        const QByteArray good = goodFile();
        const qsizetype second = good.indexOf("  <block>", good.indexOf("  <block>") + 1),
                        third = good.indexOf("  <block>", second + 1);
        QByteArray noise(64 * 1024, Qt::Uninitialized);
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char(i * 7919 % 251);
        const QString user = "appdata/Tessik/"; // the folder the search lists after a first start
        test::addRows<BadInput>({
            // Damaged files open with what they hold and one message that tells what was mended.
            {"file cut inside block 3", {"work/a.rca.xml", good.left(third + 40), Load, "work/a.rca.xml", 1, 2}},
            {"binary garbage", {"work/a.rca.xml", noise, Load, "work/a.rca.xml", 0, 0}},
            {"10,000 block elements",
             {"work/a.rca.xml", good.left(third) + good.mid(second, third - second).repeated(10000) + "</analysis>",
              Load, "work/a.rca.xml", 1, 100}},
            {"numbers and parents that make no sense",
             {"work/a.rca.xml",
              goodFile({"<parent> 1 </parent>", "<parent> 40000 </parent>", "<parent> 3 </parent>",
                        "<parent>-3 </parent>", "<parent> 4 </parent>", "<parent> 5 </parent>", "<x> 0 </x>",
                        "<x> 1e39 </x>", "<x> 15 </x>", "<x>fifteen</x>"}),
              Load, "work/a.rca.xml", 1, 5}},
            {"loop of parent links",
             {"work/a.rca.xml", goodFile({"<parent> 0 </parent>", "<parent> 5 </parent>"}), Load, "work/a.rca.xml", 0,
              5}},
            // Files that cannot be read change nothing.
            {"file that vanished after it was chosen", {"", "", Load, "work/vanished.rca.xml", 1, -1}},
            {"folder chosen as a file", {"work/dir.rca.xml/x", "x", Load, "work/dir.rca.xml", 1, -1}},
            {"file gone since the search listed it",
             {user + "Pump.rca.xml", good, OpenVanishedResult, user + "Pump.rca.xml", 1, -1}},
            // Saves that cannot succeed change nothing either.
            {"save with the header empty", {"", "", Load, "", 1, -1}},
            {"save into a folder that does not exist", {"", "", SaveAs, "work/missing/A.rca.xml", 1, -1}},
            {"save onto a full disk", {"work/a.rca.xml", good, FullDiskSave, "work/a.rca.xml", 1, -1}},
            {"save of a caption the file cannot keep",
             {"work/a.rca.xml", good, SaveKeptCaption, "work/a.rca.xml", 1, -1}},
            // The search panel says what it could not read.
            {"search with unreadable files",
             {user + "Dangling.rca.xml", "link", Search, "1 file could not be read", 0, -1}},
            {"search in a folder that has gone", {user + "Tessik.hst", "gone/\r\n", Search, "does not exist", 0, -1}},
        });
    }

    void badInput()
    {
        QFETCH(BadInput, row);
        const auto [file, bytes, action, target, messages, blocks] = row;
        WindowFixture f;
        QVERIFY(file.isEmpty() ||
                (bytes == "link" ? QDir().mkpath(f.userFolder()) && QFile::link(f.path("nowhere"), f.path(file))
                                 : writeBytes(f.path(file), bytes)));
        frmKelvane &w = f.start();
        if (action == SaveAs || action == FullDiskSave) {
            w.txtDescription->setText("D");
            w.txtOffice->setText("O");
        } else if (action == SaveKeptCaption) { // a sound file and an edit
            f.load(analysisWith(1));
            clickDiagram(w, 5, 5);
            typeText(w.txtText, "a</text>b");
            pressEnter(w.txtText);
        } else if (action == OpenVanishedResult) {
            search(w, "");
            QFile::remove(f.path(file));
        }
        const QStringList before = observe(w).summary();
        const QMap<QString, QByteArray> files = fingerprints(f.root.path());
        f.platform.fileAnswers.enqueue(target.isEmpty() ? "" : f.path(target));
        rlimit limit{}, unlimited{};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        if (action == FullDiskSave) { // the file may grow no further than a few bytes: the write fails part-way
            std::signal(SIGXFSZ, SIG_IGN);
            limit = {100, unlimited.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (action == Load)
            (target.isEmpty() ? w.btnSave : w.btnLoadXML)->click();
        else if (action == SaveAs || action == FullDiskSave)
            w.btnSaveAs->click();
        else if (action == SaveKeptCaption)
            w.btnSave->click();
        else if (action == OpenVanishedResult)
            QTest::mouseClick(w.lstFileNames->viewport(), Qt::LeftButton, {},
                              w.lstFileNames->visualRect(w.lstFileNames->model()->index(0, 0)).center());
        else
            search(w, target);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        QCOMPARE(f.platform.messages.size(), messages);
        if (blocks < 0) {
            QCOMPARE(observe(w).summary(), before);
        } else {
            QCOMPARE(QList({int(observe(w).table.BlockCount), int(observe(w).title == "Tessik: a")}),
                     QList({blocks, 1}));
            workOn(w);
        }
        // No file that was there has changed.
        const QMap<QString, QByteArray> after = fingerprints(f.root.path());
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
    }
};

TESSIK_TEST(BadInputsTest)
#include "bad_inputs_test.moc"
