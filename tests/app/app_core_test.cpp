#include "app/core/document.h"
#include "app/core/user_files.h"
#include "files/paths.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>

using namespace tessik;
using namespace tessik::test;

namespace {

// The history file, the version file ("-" no such file, "/" a folder in its place), whether the
// samples are copied, and the version start-up reads.
using StartUp = std::tuple<QByteArray, QByteArray, bool, QString>;

const QByteArray kHistory = "/srv/Analysen/\334berlauf \200 [2]\r\nsecond line ignored\r\n";
const QString kLastFolder = "/srv/Analysen/\u00dcberlauf \u20ac [2]/";

} // namespace

// What start-up reads and copies into the per-user folder, and the file names shown. (What
// shut-down writes there is checked through the window's Quit.)
class AppCoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNameAndFolder()
    {
        QStringList names;
        // A backslash is part of a name here: it separates folders only on Windows.
        for (const QString &path :
             QStringList{"/data/Conveyor_op.rca.xml", "C:\\Data\\Old.RCA.XML", "/a\\b/list.txt", "", "x.rca.xml.bak"})
            names << FileNameOnly(path) + '|' + FindPath(path);
        QCOMPARE(names, QStringList({"Conveyor_op|/data/", "C:\\Data\\Old|", "list.txt|/a\\b/", "|", "x|"}));
    }

    // AppData where it is set, else the desktop's data folder, else ~/.local/share.
    void userFolder()
    {
        TestEnvironment env;
        QCOMPARE(resolveUserFolder(env.platform), env.userFolder());
        env.platform.environment.insert("AppData", env.path("appdata/"));
        QCOMPARE(resolveUserFolder(env.platform), env.userFolder());
        env.platform.environment = {{"XDG_DATA_HOME", env.path("xdg")}};
        QCOMPARE(resolveUserFolder(env.platform), env.path("xdg/Tessik/"));
        env.platform.environment.clear();
        QCOMPARE(prepareUserFiles(env.platform).UserFolder, env.path("home/.local/share/Tessik/"));
        QVERIFY(QDir(env.path("home/.local/share/Tessik")).exists());
        // A history line of 65,000 characters (a folder deep down) is read whole.
        QVERIFY(writeBytes(env.path("home/.local/share/Tessik/Tessik.hst"), QByteArray(65000, 'x') + "\r\n"));
        QCOMPARE(prepareUserFiles(env.platform).LastFolder, QString(65000, 'x') + '/');
    }

    // A first run creates the folder and copies the samples; later runs copy them again only for
    // a newer program, never over a file of the same name. Odd files count as a first run.
    void samplesAndHistory_data()
    {
        const QByteArray same = "16.01.02\r\n";
        test::addRows<StartUp>({
            {"first run", {"-", "-", true, "00.00.00"}},
            {"same version", {kHistory, same, false, "16.01.02"}},
            {"older version", {kHistory, "15.12.01\r\n", true, "15.12.01"}},
            {"newer version", {kHistory, "16.01.03\r\n", false, "16.01.03"}},
            {"empty version file", {kHistory, "", true, "00.00.00"}},
            {"no version file", {kHistory, "-", true, "00.00.00"}},
            {"version file without history file", {"-", same, true, "00.00.00"}},
            {"history file is a folder", {"/", same, true, "00.00.00"}},
            {"empty history file", {"", same, false, "16.01.02"}},
        });
    }
    void samplesAndHistory()
    {
        QFETCH(StartUp, row);
        const auto [history, version, copies, stored] = row;
        TestEnvironment env;
        const QString user = env.userFolder();
        for (const char *name : {"Alpha.rca.xml", "Beta.RCA.XML", "notes.txt"})
            writeBytes(env.path("program/") + name, name);
        QVERIFY(history == "-" ||
                (history == "/" ? QDir().mkpath(user + "Tessik.hst") : writeBytes(user + "Tessik.hst", history)));
        QVERIFY(version == "-" || writeBytes(user + "Tessik.ver", version));
        const bool own = QDir(user).exists() && writeBytes(user + "Alpha.rca.xml", "the user's own");
        const UserFiles files = prepareUserFiles(env.platform);
        QCOMPARE(QStringList({files.UserFolder, files.LastFolder, files.StoredVersion}),
                 QStringList({user, history.size() > 1 ? kLastFolder : user, stored}));
        const QByteArray alpha = own ? "the user's own" : copies ? "Alpha.rca.xml" : "";
        QCOMPARE(readBytes(user + "Alpha.rca.xml") + readBytes(user + "Beta.RCA.XML"),
                 alpha + (copies ? "Beta.RCA.XML" : ""));
        QCOMPARE(files.copiedSamples, copies ? QStringList({"Alpha.rca.xml", "Beta.RCA.XML"}).mid(own) : QStringList());
        QVERIFY(!QFile::exists(user + "notes.txt"));
    }

    // A delete unlinks every child of the block, the one in the first slot too; its undo links
    // them again and gives the slot back as it was.
    void deleteAndItsUndoKeepTheChildren()
    {
        Document document;
        document.newAnalysis();
        const int parent = document.addBlock(30, 5), other = document.addBlock(50, 5);
        document.linkBlocks(1, parent);
        document.linkBlocks(other, parent);
        const auto parents = document.table().BlockParent;
        document.deleteBlock(parent);
        QVERIFY(document.table().BlockParent[1] == 0 && document.table().BlockParent[other] == 0);
        document.undo();
        QVERIFY(document.table().BlockParent == parents && document.table().isLive(parent));
        const BlockTable before = document.table();
        document.moveBlocks({{parent, 7, 9}, {other, 50, 6}}); // a move, and its undo
        QVERIFY(document.table().BlockX[parent] == 7 && document.table().BlockY[parent] == 9);
        document.undo();
        QVERIFY(document.table().BlockX == before.BlockX && document.table().BlockY == before.BlockY);
    }
};

TESSIK_TEST(AppCoreTest)
#include "app_core_test.moc"
