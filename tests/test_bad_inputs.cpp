// What a user may throw at Tessik: damaged files, odd start-up folders, saves that cannot
// succeed, searches in folders that misbehave. Every case must end without a crash or a hang,
// with a message where the user acted, and with every file that was there left as it was.
#include "files/analysis_writer.h"
#include "files/safe_write.h"
#include "support/full_disk_save_file.h"
#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace tessik;
using namespace tessik::test;

namespace {

struct Case;
using Step = std::function<void(Case &)>;

struct BadInput {
    Step prepare; // files put in place before the program starts
    Step act;     // what the user does in the running window
    bool expectsMessage = false;
    Step check; // what must hold afterwards, besides "no file changed"
};

struct Case {
    WindowFixture fixture;
    frmKelvane *window = nullptr;
    QString path(const QString &relative) const { return fixture.path(relative); }
    FakePlatform &platform() { return fixture.platform; }
};

QMap<QString, QByteArray> fingerprints(const QString &root)
{
    QMap<QString, QByteArray> prints;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (QFileInfo(file).isSymLink())
            continue;
        prints.insert(file, QCryptographicHash::hash(readBytes(file), QCryptographicHash::Sha256));
    }
    return prints;
}

Analysis sampleAnalysis(int blocks)
{
    Analysis a;
    a.description = "Conveyor stopped twice";
    a.email = "operator";
    a.office = "Plant North";
    for (int i = 0; i < blocks; ++i) {
        a.table.addBlock(float(i % 6 * 12 + 5), float(i / 6 * 12 - 15));
        a.table.BlockText[i + 1] = QStringLiteral("Cause %1").arg(i + 1);
        if (i > 0)
            a.table.BlockParent[i + 1] = std::int16_t(i);
    }
    return a;
}

void put(Case &c, const QString &relative, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(c.path(relative)).absolutePath());
    QVERIFY(writeBytes(c.path(relative), bytes));
}

// The user loads the file through the dialog.
Step loads(const QString &relative)
{
    return [relative](Case &c) {
        c.platform().fileAnswers.enqueue(c.path(relative));
        c.window->btnLoadXML->click();
    };
}

Step loadsWithBlocks(int expected)
{
    return [expected](Case &c) { QCOMPARE(c.window->table().BlockCount, std::int16_t(expected)); };
}

// Loads the damaged file, then works on it: a replay run and a move of everything.
Step loadsAndWorks(const QString &relative)
{
    return [relative](Case &c) {
        loads(relative)(c);
        for (int i = 0; i < 6; ++i)
            c.window->btnAnimateForward->click();
        for (int id = 1; id <= c.window->table().BlockCount; ++id)
            if (c.window->table().isLive(id)) {
                const float x = c.window->table().BlockX[size_t(id)] + 5, y = c.window->table().BlockY[size_t(id)] + 5;
                dragDiagram(*c.window, Qt::RightButton, x, y, x + 1, y, Qt::ShiftModifier);
                break;
            }
    };
}

Step savesAs(const QString &relative)
{
    return [relative](Case &c) {
        c.window->txtDescription->setText("D");
        c.window->txtOffice->setText("O");
        c.platform().fileAnswers.enqueue(c.path(relative));
        c.window->btnSaveAs->click();
    };
}

Step searches(const QString &folder, const QString &phrase)
{
    return [folder, phrase](Case &c) {
        c.window->document().setLastFolder(c.path(folder) + QDir::separator());
        c.window->btnAnalyze->click();
        c.window->txtKeyWord->setText(phrase);
        c.window->btnSearch->click();
        waitForSearch(*c.window);
    };
}

Step nothing()
{
    return [](Case &) {};
}

} // namespace

Q_DECLARE_METATYPE(BadInput)

class TestBadInputs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void badInput_data()
    {
        QTest::addColumn<BadInput>("input");
        const QByteArray good = writeAnalysis(sampleAnalysis(5));
        auto row = [](const QString &name, BadInput input) { QTest::newRow(qPrintable(name)) << input; };

        // Damaged analysis files.
        qsizetype cut = 0;
        for (int block = 0; (cut = good.indexOf("  <block>", cut + 1)) > 0; ++block) {
            const QByteArray head = good.left(cut);
            // A cut file opens with what it still holds, and the user is told it was cut.
            row(QStringLiteral("file cut before block %1").arg(block + 1),
                {[head](Case &c) { put(c, "work/cut.rca.xml", head); }, loads("work/cut.rca.xml"), true,
                 [block](Case &c) {
                     QCOMPARE(c.window->windowTitle(), QString("Tessik: cut"));
                     QCOMPARE(c.window->table().BlockCount, std::int16_t(block));
                     QCOMPARE(c.window->txtDescription->text(), QString("Conveyor stopped twice"));
                 }});
            const QByteArray halfway = good.left(cut + 40);
            row(QStringLiteral("file cut inside block %1").arg(block + 1),
                {[halfway](Case &c) { put(c, "work/cut.rca.xml", halfway); }, loads("work/cut.rca.xml"), true,
                 loadsWithBlocks(block)});
        }
        row("binary garbage", {[](Case &c) {
                                   QByteArray noise(64 * 1024, Qt::Uninitialized);
                                   QRandomGenerator random(7);
                                   for (char &b : noise)
                                       b = char(random.bounded(256));
                                   put(c, "work/noise.rca.xml", noise);
                               },
                               loadsAndWorks("work/noise.rca.xml"), true, loadsWithBlocks(0)});
        row("empty file",
            {[](Case &c) { put(c, "work/empty.rca.xml", {}); }, loads("work/empty.rca.xml"), true, loadsWithBlocks(0)});
        row("50 MB file", {[good](Case &c) {
                               QByteArray big = good;
                               big.insert(good.indexOf("<notes></notes>") + 7, QByteArray(50 * 1024 * 1024, 'n'));
                               put(c, "work/big.rca.xml", big);
                           },
                           loads("work/big.rca.xml"), false,
                           [](Case &c) { QCOMPARE(c.window->table().BlockNotes[1].size(), 50 * 1024 * 1024); }});
        row("10,000 block elements",
            {[good](Case &c) {
                 const qsizetype from = good.indexOf("  <block>");
                 const QByteArray block = good.mid(from, good.indexOf("  <block>", from + 1) - from);
                 put(c, "work/many.rca.xml", good.left(from) + block.repeated(10000) + "</analysis>\r\n");
             },
             loadsAndWorks("work/many.rca.xml"), true, loadsWithBlocks(100)});
        row("numbers out of range", {[good](Case &c) {
                                         QByteArray bytes = good;
                                         bytes.replace("<parent> 1 </parent>", "<parent> 40000 </parent>");
                                         bytes.replace("<x> 0 </x>", "<x> 1e39 </x>");
                                         put(c, "work/range.rca.xml", bytes);
                                     },
                                     loadsAndWorks("work/range.rca.xml"), true,
                                     [](Case &c) { QCOMPARE(c.window->table().BlockParent[2], std::int16_t(0)); }});
        row("numbers that are no numbers", {[good](Case &c) {
                                                QByteArray bytes = good;
                                                bytes.replace("<active>-1 </active>", "<active>yes</active>");
                                                bytes.replace("<y>-20 </y>", "<y></y>");
                                                put(c, "work/words.rca.xml", bytes);
                                            },
                                            loads("work/words.rca.xml"), true, loadsWithBlocks(5)});
        row("parent pointing to itself",
            {[good](Case &c) {
                 QByteArray bytes = good;
                 bytes.replace("<parent> 2 </parent>", "<parent> 3 </parent>");
                 put(c, "work/self.rca.xml", bytes);
             },
             loadsAndWorks("work/self.rca.xml"), true,
             [](Case &c) { QCOMPARE(c.window->table().BlockParent[3], std::int16_t(0)); }});
        row("parents out of range", {[good](Case &c) {
                                         QByteArray bytes = good;
                                         bytes.replace("<parent> 1 </parent>", "<parent> 150 </parent>");
                                         bytes.replace("<parent> 2 </parent>", "<parent>-3 </parent>");
                                         put(c, "work/out.rca.xml", bytes);
                                     },
                                     loadsAndWorks("work/out.rca.xml"), true,
                                     [](Case &c) {
                                         QCOMPARE(c.window->table().BlockParent[2], std::int16_t(0));
                                         QCOMPARE(c.window->table().BlockParent[3], std::int16_t(0));
                                     }});
        row("loop of parent links", {[good](Case &c) {
                                         QByteArray bytes = good;
                                         bytes.replace("<parent> 0 </parent>", "<parent> 5 </parent>");
                                         put(c, "work/loop.rca.xml", bytes);
                                     },
                                     loadsAndWorks("work/loop.rca.xml"), false,
                                     [](Case &c) { QCOMPARE(c.window->table().BlockParent[1], std::int16_t(5)); }});
        row("carriage returns without line feeds", {[good](Case &c) {
                                                        QByteArray bytes = good;
                                                        put(c, "work/cr.rca.xml", bytes.replace("\r\n", "\r"));
                                                    },
                                                    loads("work/cr.rca.xml"), false, loadsWithBlocks(5)});
        row("caption holding </text>", {[good](Case &c) {
                                            QByteArray bytes = good;
                                            put(c, "work/tag.rca.xml", bytes.replace("Cause 2", "Cause </text> 2"));
                                        },
                                        loads("work/tag.rca.xml"), false,
                                        [](Case &c) { QCOMPARE(c.window->table().BlockText[2], QString("Cause ")); }});
        row("caption holding </block>",
            {[good](Case &c) {
                 QByteArray bytes = good;
                 put(c, "work/tag.rca.xml", bytes.replace("Cause 2", "Cause </block> 2"));
             },
             loads("work/tag.rca.xml"), false, [](Case &c) { QCOMPARE(c.window->table().BlockText[2], QString()); }});
        row("file that vanished after it was chosen",
            {nothing(), loads("work/vanished.rca.xml"), true, loadsWithBlocks(0)});
        row("folder chosen as a file", {[](Case &c) { QDir().mkpath(c.path("work/dir.rca.xml")); },
                                        loads("work/dir.rca.xml"), true, loadsWithBlocks(0)});

        // Start-up.
        row("history file that is a folder",
            {[](Case &c) { QDir().mkpath(c.fixture.userFolder() + "Tessik.hst"); }, nothing(), false,
             [](Case &c) {
                 QCOMPARE(c.window->document().lastFolder(), c.fixture.userFolder());
                 c.window->btnQuit->click();
                 QCOMPARE(c.platform().endProgramCalls, 1);
             }});
        row("empty history and version files",
            {[](Case &c) {
                 put(c, "appdata/Tessik/Tessik.hst", {});
                 put(c, "appdata/Tessik/Tessik.ver", {});
             },
             nothing(), false, [](Case &c) { QCOMPARE(c.window->document().lastFolder(), c.fixture.userFolder()); }});
        row("version file of binary garbage",
            {[](Case &c) {
                 put(c, "appdata/Tessik/Tessik.hst", "/tmp/\r\n");
                 put(c, "appdata/Tessik/Tessik.ver", QByteArray("\xff\x00\x81\x9d", 4));
             },
             nothing(), false, [](Case &c) { QCOMPARE(c.window->StoredVersion.size(), 4); }});
        row("per-user folder missing", {[](Case &c) { QDir(c.path("appdata")).removeRecursively(); }, nothing(), false,
                                        [](Case &c) { QVERIFY(QDir(c.fixture.userFolder()).exists()); }});
        row("per-user folder cannot be made", {[](Case &c) {
                                                   QDir(c.path("appdata")).removeRecursively();
                                                   put(c, "appdata", "a file where the folder should be");
                                               },
                                               nothing(), false,
                                               [](Case &c) {
                                                   c.window->btnQuit->click();
                                                   QCOMPARE(c.platform().endProgramCalls, 1);
                                               }});
        row("history naming a folder that is gone",
            {[](Case &c) {
                 put(c, "appdata/Tessik/Tessik.hst", c.path("gone/").toUtf8() + "\r\n");
                 put(c, "appdata/Tessik/Tessik.ver", "16.01.02\r\n");
             },
             [](Case &c) {
                 c.window->btnAnalyze->click();
                 c.window->txtKeyWord->setText("x");
                 c.window->btnSearch->click();
                 waitForSearch(*c.window);
             },
             false, [](Case &c) { QVERIFY(c.window->lblSearchStatus->text().contains("does not exist")); }});

        // Saving.
        row("save into a folder that does not exist", {nothing(), savesAs("work/missing/A.rca.xml"), true, nothing()});
        row("save onto a name that is a folder",
            {[](Case &c) { QDir().mkpath(c.path("work/dir.rca.xml")); }, savesAs("work/dir.rca.xml"), true, nothing()});
        row("save under a plain file", {[good](Case &c) { put(c, "work/A.rca.xml", good); },
                                        savesAs("work/A.rca.xml/B.rca.xml"), true, nothing()});
        row("save onto a full disk", {[good](Case &c) { put(c, "work/A.rca.xml", good); },
                                      [](Case &c) {
                                          // The file may grow no further than a few bytes: the write fails part-way.
                                          std::signal(SIGXFSZ, SIG_IGN);
                                          rlimit limit{};
                                          getrlimit(RLIMIT_FSIZE, &limit);
                                          const rlimit before = limit;
                                          limit.rlim_cur = 100;
                                          setrlimit(RLIMIT_FSIZE, &limit);
                                          savesAs("work/A.rca.xml")(c);
                                          setrlimit(RLIMIT_FSIZE, &before);
                                      },
                                      true, [](Case &c) { QVERIFY(c.window->document().currentFile().isEmpty()); }});
        row("full disk through a save file that fails after N bytes",
            {[good](Case &c) { put(c, "work/A.rca.xml", good); },
             [](Case &c) {
                 const QByteArray bytes = writeAnalysis(sampleAnalysis(9));
                 for (qint64 room : {0, 1, 200, 700}) {
                     FullDiskSaveFile file(c.path("work/A.rca.xml"), room);
                     QVERIFY(!writeThroughSaveFile(file, bytes).ok);
                 }
             },
             false, nothing()});
        row("save of text the file cannot keep", {[good](Case &c) { put(c, "work/A.rca.xml", good); },
                                                  [](Case &c) {
                                                      loads("work/A.rca.xml")(c);
                                                      c.window->document().commitBlock(1, "a</text>b", QString());
                                                      c.window->btnSave->click();
                                                  },
                                                  true, nothing()});

        // Searching.
        row("search with unreadable files", {[good](Case &c) {
                                                 put(c, "lib/Good.rca.xml", good);
                                                 QDir().mkpath(c.path("lib/dir.rca.xml"));
                                                 QFile::link(c.path("lib/nowhere"), c.path("lib/Dangling.rca.xml"));
                                                 put(c, "lib/Noise.rca.xml", QByteArray(4096, '\xff'));
                                             },
                                             searches("lib", "conveyor"), false,
                                             [](Case &c) {
                                                 QCOMPARE(c.window->lstFileNames->model()->rowCount(), 1);
                                                 QVERIFY(c.window->lblSearchStatus->text().startsWith("1 file"));
                                             }});
        row("search in a folder that vanished",
            {[good](Case &c) { put(c, "lib/Good.rca.xml", good); },
             [](Case &c) {
                 QDir(c.path("lib")).removeRecursively();
                 searches("lib", "conveyor")(c);
             },
             false,
             [](Case &c) {
                 QCOMPARE(c.window->lstFileNames->model()->rowCount(), 0);
                 QVERIFY(c.window->lblSearchStatus->text().contains("does not exist"));
             }});
    }

    void badInput()
    {
        QFETCH(BadInput, input);
        Case c;
        QDir().mkpath(c.fixture.userFolder());
        input.prepare(c);
        c.window = &c.fixture.start();
        const QMap<QString, QByteArray> before = fingerprints(c.fixture.root.path());
        input.act(c);
        QCOMPARE(!c.platform().messages.isEmpty(), input.expectsMessage);
        if (input.expectsMessage)
            QCOMPARE(c.platform().messages.size(), 1); // told once, clearly
        input.check(c);
        // No file that was there has changed (a vanished folder takes its files with it).
        const QMap<QString, QByteArray> after = fingerprints(c.fixture.root.path());
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            if (after.contains(it.key()))
                QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
    }
};

QTEST_MAIN(TestBadInputs)
#include "test_bad_inputs.moc"
