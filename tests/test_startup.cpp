#include "app/core/user_files.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QFile>
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
        QCOMPARE(w.document().lastFolder(), f.userFolder());
        QCOMPARE(readBytes(f.userFolder() + "Alpha.rca.xml"), QByteArray("alpha sample\r\n"));
        QCOMPARE(readBytes(f.userFolder() + "Beta.RCA.XML"), QByteArray("beta sample\r\n"));
        QVERIFY(!QFile::exists(f.userFolder() + "notes.txt"));
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
        QDir().mkpath(f.userFolder());
        if (historyExists)
            writeBytes(f.userFolder() + "Tessik.hst", "/data/rca/\r\n");
        if (version != "-")
            writeBytes(f.userFolder() + "Tessik.ver", version);
        writeBytes(f.userFolder() + "Alpha.rca.xml", "edited by the user\r\n");
        frmKelvane &w = f.start();
        // A file of the user's is never replaced; a sample missing from the folder comes back.
        QCOMPARE(readBytes(f.userFolder() + "Alpha.rca.xml"), QByteArray("edited by the user\r\n"));
        QCOMPARE(readBytes(f.userFolder() + "Beta.RCA.XML"), copies ? QByteArray("beta sample\r\n") : QByteArray());
        QCOMPARE(w.document().lastFolder(), historyExists ? QString("/data/rca/") : f.userFolder());
        QVERIFY(f.platform.messages.isEmpty());
    }

    // The build places the samples beside the program; an installation keeps them in its data
    // folder, which the program finds relative to itself wherever the installation lies.
    void samplesAreFoundWhereTheyLie_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("samples");
        QTest::newRow("build tree") << "build/bin"
                                    << "build/bin";
        QTest::newRow("installed") << "prefix/bin"
                                   << "prefix/bin/" TESSIK_INSTALLED_SAMPLES;
    }
    void samplesAreFoundWhereTheyLie()
    {
        QFETCH(QString, program);
        QFETCH(QString, samples);
        WindowFixture f;
        f.platform.program = f.path(program);
        QDir().mkpath(f.path(program));
        QDir().mkpath(QDir::cleanPath(f.path(samples)));
        writeBytes(QDir::cleanPath(f.path(samples)) + "/Gamma.rca.xml", "gamma sample\r\n");
        f.start();
        QCOMPARE(readBytes(f.userFolder() + "Gamma.rca.xml"), QByteArray("gamma sample\r\n"));
    }

    void historyIsReadBackExactly()
    {
        WindowFixture f;
        QDir().mkpath(f.userFolder());
        writeBytes(f.userFolder() + "Tessik.hst", "/srv/Analysen/\xdc"
                                                  "berlauf \x80 [2]/\r\nsecond line ignored\r\n");
        frmKelvane &w = f.start();
        QCOMPARE(w.document().lastFolder(), QString::fromUtf8("/srv/Analysen/Überlauf € [2]/"));
        w.btnQuit_Click();
        QCOMPARE(readBytes(f.userFolder() + "Tessik.hst"), QByteArray("/srv/Analysen/\xdc"
                                                                      "berlauf \x80 [2]/\r\n"));
    }

    void userFolderWithoutAppData_data()
    {
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("data home set") << "xdg"
                                       << "xdg/Tessik/";
        QTest::newRow("nothing set") << ""
                                     << "home/.local/share/Tessik/";
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
    }

    void quitWritesBothFiles_data()
    {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<bool>("yes");
        QTest::newRow("nothing unsaved: no question") << false << false;
        QTest::newRow("unsaved, answered Yes") << true << true;
        QTest::newRow("unsaved, answered No: goes on") << true << false;
    }
    void quitWritesBothFiles()
    {
        QFETCH(bool, unsaved);
        QFETCH(bool, yes);
        WindowFixture f;
        frmKelvane &w = f.start();
        w.document().setLastFolder("/home/me/analyses/");
        if (unsaved)
            w.document().setHeader(HeaderField::Office, "edited");
        f.platform.messageAnswers.enqueue(yes ? MessageAnswer::Yes : MessageAnswer::No);
        w.btnQuit->click();
        const bool ends = !unsaved || yes;
        QCOMPARE(f.platform.messages.size(), unsaved ? 1 : 0);
        QCOMPARE(f.platform.endProgramCalls, ends ? 1 : 0);
        QCOMPARE(w.ended(), ends);
        QCOMPARE(readBytes(f.userFolder() + "Tessik.hst"), ends ? QByteArray("/home/me/analyses/\r\n") : QByteArray());
        QCOMPARE(readBytes(f.userFolder() + "Tessik.ver"), ends ? QByteArray("16.01.02\r\n") : QByteArray());
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
