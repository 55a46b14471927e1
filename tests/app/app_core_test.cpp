#include "app/core/paths.h"
#include "app/core/user_files.h"
#include "app/core/window_title.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>

using namespace tessik;
using namespace tessik::test;

namespace {

struct StartUp {
    QByteArray history, version; // "-" no such file, "/" a folder in its place
    bool copies;
    QString stored;
};

const QByteArray kHistory = "/srv/Analysen/\xdc"
                            "berlauf \x80 [2]/\r\nsecond line ignored\r\n";
const QString kLastFolder = "/srv/Analysen/\u00dc"
                            "berlauf \u20ac [2]/";

} // namespace

// What start-up and shut-down read and write in the per-user folder, and the names and titles
// the document shows.
class AppCoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNameAndFolder()
    {
        const QStringList paths{"C:\\Data\\Conveyor_op.rca.xml", "C:\\Data\\Old.RCA.XML", "/a\\b/list.txt", "",
                                "x.rca.xml.bak"};
        QStringList names, folders;
        for (const QString &path : paths) {
            names << FileNameOnly(path);
            folders << FindPath(path);
        }
        QCOMPARE(names, QStringList({"Conveyor_op", "Old", "list.txt", "", "x"}));
        QCOMPARE(folders, QStringList({"C:\\Data\\", "C:\\Data\\", "/a\\b/", "", ""}));
        QCOMPARE(WindowTitle::afterLoad("/a/Pump.rca.xml"), QString("Tessik: Pump"));
        QCOMPARE(WindowTitle::afterSave("/a/Pump.rca.xml"), QString("Root Cause Anlysis: Pump"));
        QCOMPARE(WindowTitle::afterDiagramEdit(""), QString("Tessik:  *"));
        QCOMPARE(WindowTitle::afterHeaderEdit("Tessik"), QString("Tessik *"));
        QCOMPARE(WindowTitle::afterHeaderEdit("Tessik: Pump *"), QString("Tessik: Pump *"));
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
    }

    // A first run creates the folder and copies the samples; later runs copy them again only for
    // a newer program, replacing files of the same name. Odd files count as a first run.
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
            {"version of binary garbage",
             {kHistory, QByteArray("\xff\x00\x81\n", 4), false, QString("\u00ff") + QChar(0) + QChar(0x81)}},
            {"version file without history file", {"-", same, true, "00.00.00"}},
            {"history file is a folder", {"/", same, true, "00.00.00"}},
            {"empty history file", {"", same, false, "16.01.02"}},
        });
    }
    void samplesAndHistory()
    {
        QFETCH(StartUp, row);
        TestEnvironment env;
        const QString user = env.userFolder();
        for (const char *name : {"Alpha.rca.xml", "Beta.RCA.XML", "notes.txt"})
            writeBytes(env.path("program/") + name, name);
        if (row.history == "/")
            QDir().mkpath(user + "Tessik.hst");
        else if (row.history != "-")
            writeBytes(user + "Tessik.hst", row.history);
        if (row.version != "-")
            writeBytes(user + "Tessik.ver", row.version);
        if (QDir(user).exists())
            writeBytes(user + "Alpha.rca.xml", "edited by the user");
        const UserFiles files = prepareUserFiles(env.platform);
        QCOMPARE(files.UserFolder, user);
        QCOMPARE(files.LastFolder, row.history.size() > 1 ? kLastFolder : user);
        QCOMPARE(files.StoredVersion, row.stored);
        QCOMPARE(readBytes(user + "Alpha.rca.xml"), QByteArray(row.copies ? "Alpha.rca.xml" : "edited by the user"));
        QCOMPARE(readBytes(user + "Beta.RCA.XML"), QByteArray(row.copies ? "Beta.RCA.XML" : ""));
        QCOMPARE(files.copiedSamples, row.copies ? QStringList({"Alpha.rca.xml", "Beta.RCA.XML"}) : QStringList());
        QVERIFY(!QFile::exists(user + "notes.txt"));
    }

    // Shut-down writes both files, which the next start reads back exactly; when they cannot be
    // written, shut-down and the next start go on regardless.
    void shutDownWritesBothFiles()
    {
        TestEnvironment env;
        const QString user = env.userFolder();
        writeShutdownFiles(user, kLastFolder);
        QCOMPARE(readBytes(user + "Tessik.hst"), kHistory.left(kHistory.indexOf('\n') + 1));
        QCOMPARE(readBytes(user + "Tessik.ver"), QByteArray("16.01.02\r\n"));
        QCOMPARE(prepareUserFiles(env.platform).LastFolder, kLastFolder);
        writeShutdownFiles(user, "/srv/rca"); // a folder without a separator at its end gets one
        QCOMPARE(prepareUserFiles(env.platform).LastFolder, QString("/srv/rca/"));
        QVERIFY(QDir(user).removeRecursively() && writeBytes(user.chopped(1), "in the way"));
        writeShutdownFiles(user, "/srv/rca");
        QCOMPARE(readBytes(user.chopped(1)), QByteArray("in the way"));
        QCOMPARE(prepareUserFiles(env.platform).LastFolder, user);
    }
};

TESSIK_TEST(AppCoreTest)
#include "app_core_test.moc"
