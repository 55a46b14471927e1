#include "app/core/user_files.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

void putSamples(const WindowFixture &f)
{
    writeBytes(f.programFolder() + "/Alpha.rca.xml", "alpha sample\r\n");
    writeBytes(f.programFolder() + "/Beta.RCA.XML", "beta sample\r\n");
    writeBytes(f.programFolder() + "/notes.txt", "not a sample\r\n");
}

void putUserFiles(const WindowFixture &f, const QByteArray *history, const QByteArray *version)
{
    QDir().mkpath(f.userFolder());
    if (history)
        writeBytes(f.userFolder() + "Tessik.hst", *history);
    if (version)
        writeBytes(f.userFolder() + "Tessik.ver", *version);
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstRunCreatesTheFolderAndCopiesTheSamples()
    {
        WindowFixture f;
        putSamples(f);
        frmKelvane &w = f.start();
        QCOMPARE(w.UserFolder, f.userFolder());
        QCOMPARE(w.LastFolder, f.userFolder());
        QCOMPARE(w.StoredVersion, QString("00.00.00"));
        QCOMPARE(readBytes(f.userFolder() + "Alpha.rca.xml"), QByteArray("alpha sample\r\n"));
        QCOMPARE(readBytes(f.userFolder() + "Beta.RCA.XML"), QByteArray("beta sample\r\n"));
        QVERIFY(!QFile::exists(f.userFolder() + "notes.txt"));
        QCOMPARE(w.lblversion->text(), QString("16.01.02"));
        QCOMPARE(w.windowTitle(), QString("Tessik"));
        QCOMPARE(w.table().BlockCount, std::int16_t(0));
        QVERIFY(f.platform.messages.isEmpty());
    }

    void versionDecidesWhetherSamplesAreCopied_data()
    {
        QTest::addColumn<bool>("historyExists");
        QTest::addColumn<QByteArray>("version"); // "-" = no version file
        QTest::addColumn<bool>("copies");
        QTest::newRow("same version") << true << QByteArray("16.01.02\r\n") << false;
        QTest::newRow("older version") << true << QByteArray("15.12.01\r\n") << true;
        QTest::newRow("newer version") << true << QByteArray("16.01.03\r\n") << false;
        QTest::newRow("much newer version") << true << QByteArray("99.00.00\r\n") << false;
        QTest::newRow("empty version file") << true << QByteArray("") << true;
        QTest::newRow("no version file") << true << QByteArray("-") << true;
        QTest::newRow("folder without history file") << false << QByteArray("16.01.02\r\n") << true;
    }
    void versionDecidesWhetherSamplesAreCopied()
    {
        QFETCH(bool, historyExists);
        QFETCH(QByteArray, version);
        QFETCH(bool, copies);
        WindowFixture f;
        putSamples(f);
        const QByteArray history = "/data/rca/\r\n";
        putUserFiles(f, historyExists ? &history : nullptr, version == "-" ? nullptr : &version);
        writeBytes(f.userFolder() + "Alpha.rca.xml", "edited by the user\r\n");
        frmKelvane &w = f.start();
        QCOMPARE(readBytes(f.userFolder() + "Alpha.rca.xml"),
                 copies ? QByteArray("alpha sample\r\n") : QByteArray("edited by the user\r\n"));
        QCOMPARE(w.LastFolder, historyExists ? QString("/data/rca/") : f.userFolder());
        QVERIFY(f.platform.messages.isEmpty());
    }

    void historyIsReadBackExactly()
    {
        WindowFixture f;
        const QByteArray history = "/srv/Analysen/\xdc" "berlauf \x80 [2]/\r\nsecond line ignored\r\n";
        const QByteArray version = "16.01.02\r\n";
        putUserFiles(f, &history, &version);
        frmKelvane &w = f.start();
        QCOMPARE(w.LastFolder, QString::fromUtf8("/srv/Analysen/Überlauf € [2]/"));
        QCOMPARE(w.StoredVersion, QString("16.01.02"));
        w.btnQuit_Click();
        QCOMPARE(readBytes(f.userFolder() + "Tessik.hst"), QByteArray("/srv/Analysen/\xdc" "berlauf \x80 [2]/\r\n"));
    }

    void emptyHistoryIsAFirstRun()
    {
        WindowFixture f;
        const QByteArray empty;
        const QByteArray version = "16.01.02\r\n";
        putUserFiles(f, &empty, &version);
        frmKelvane &w = f.start();
        QCOMPARE(w.LastFolder, f.userFolder());
    }

    void userFolderWithoutAppData_data()
    {
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("data home set") << "xdg" << "xdg/Tessik/";
        QTest::newRow("nothing set") << "" << "home/.local/share/Tessik/";
    }
    void userFolderWithoutAppData()
    {
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, expected);
        WindowFixture f;
        f.platform.environment.remove("AppData");
        if (!xdgDataHome.isEmpty())
            f.platform.environment.insert("XDG_DATA_HOME", f.path(xdgDataHome));
        frmKelvane &w = f.start();
        QCOMPARE(w.UserFolder, QDir::toNativeSeparators(f.path(expected)));
        QVERIFY(QDir(w.UserFolder).exists());
        w.btnQuit_Click();
        QCOMPARE(readBytes(w.UserFolder + "Tessik.ver"), QByteArray("16.01.02\r\n"));
    }

    void quitWritesBothFiles()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        w.LastFolder = "/home/me/analyses/";
        w.btnQuit->click();
        QCOMPARE(f.platform.endProgramCalls, 1);
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(readBytes(f.userFolder() + "Tessik.hst"), QByteArray("/home/me/analyses/\r\n"));
        QCOMPARE(readBytes(f.userFolder() + "Tessik.ver"), QByteArray("16.01.02\r\n"));
    }

    void quitWithUnsavedEditsAsks_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("answered No") << false;
        QTest::newRow("answered Yes") << true;
    }
    void quitWithUnsavedEditsAsks()
    {
        QFETCH(bool, yes);
        WindowFixture f;
        frmKelvane &w = f.start();
        w.Unsaved = true;
        f.platform.messageAnswers.enqueue(yes ? MessageAnswer::Yes : MessageAnswer::No);
        w.btnQuit->click();
        QCOMPARE(f.platform.messages, QStringList{"You have unsaved edits.\r\n\r\nDo you want to continue?"});
        QCOMPARE(f.platform.endProgramCalls, yes ? 1 : 0);
        QCOMPARE(QFile::exists(f.userFolder() + "Tessik.hst"), yes);
        QCOMPARE(w.ended(), yes);
    }

    void closingTheWindowWritesWithoutAsking()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        w.Unsaved = true;
        w.close();
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(f.platform.endProgramCalls, 1);
        QCOMPARE(readBytes(f.userFolder() + "Tessik.ver"), QByteArray("16.01.02\r\n"));
    }

    void failedWriteAtShutDownStillEnds()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        // The per-user folder has become a plain file: neither file can be written.
        QDir(w.UserFolder).removeRecursively();
        writeBytes(QDir::cleanPath(w.UserFolder), "in the way");
        w.btnQuit_Click();
        QCOMPARE(f.platform.endProgramCalls, 1);
        QCOMPARE(readBytes(QDir::cleanPath(w.UserFolder)), QByteArray("in the way"));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
