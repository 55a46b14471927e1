#include "files/save_rules.h"

#include <QDir>
#include <QTest>

using namespace tessik;

class TestSaveRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filterKeepsAsciiDigitsAndLetters_data()
    {
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<QString>("kept");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("plain") << "Conveyor"
                               << "Conveyor";
        QTest::newRow("punctuation and blanks") << "Conveyor stopped: twice!"
                                                << "Conveyorstoppedtwice";
        QTest::newRow("accented letters dropped") << "Überlauf 3"
                                                  << "berlauf3";
        QTest::newRow("underscore and dot dropped") << "op.one_two"
                                                    << "oponetwo";
        QTest::newRow("neighbours of the ranges") << "/09:@AZ[`az{"
                                                  << "09AZaz";
        QTest::newRow("only punctuation") << " -!?. "
                                          << "";
        QTest::newRow("adjacent deletions") << "a!!!b"
                                            << "ab";
        QTest::newRow("fullwidth letters are not ASCII") << "\uFF21\uFF42c"
                                                         << "c";
        QTest::newRow("outside the basic plane") << "x\U0001F600y"
                                                 << "xy";
        QTest::newRow("control characters") << "a\tb\r\nc"
                                            << "abc";
    }
    void filterKeepsAsciiDigitsAndLetters()
    {
        QFETCH(QString, buffer);
        QFETCH(QString, kept);
        QCOMPARE(Filter(buffer), kept);
    }

    void proposedName_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("name");
        QTest::newRow("both") << "Conveyor stopped: twice!"
                              << "op.one"
                              << "Conveyorstoppedtwice_opone";
        QTest::newRow("empty e-mail") << "Conveyor stopped: twice!"
                                      << ""
                                      << "Conveyorstoppedtwice_";
        QTest::newRow("description of punctuation") << " ... "
                                                    << "op"
                                                    << "_op";
        QTest::newRow("both empty") << ""
                                    << ""
                                    << "_";
        QTest::newRow("path characters cannot escape the folder") << "..\\..\\etc/passwd"
                                                                  << "a/b"
                                                                  << "etcpasswd_ab";
    }
    void proposedName()
    {
        QFETCH(QString, description);
        QFETCH(QString, email);
        QFETCH(QString, name);
        QCOMPARE(proposedFileName(description, email), name);
    }

    void validation_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("office");
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<QString>("message");
        const QString head = QStringLiteral("The Root Cause Analysis was not saved.\r\n\r\n");
        QTest::newRow("valid") << "Event"
                               << "Office" << false << "";
        QTest::newRow("valid save as") << "Event"
                                       << "Office" << true << "";
        QTest::newRow("blanks pass") << "   "
                                     << " " << false << "";
        QTest::newRow("no description") << ""
                                        << "Office" << false << head + "You need an Event Description";
        QTest::newRow("no description, save as") << ""
                                                 << "Office" << true << head + "You need an Event Description";
        QTest::newRow("both empty: description first") << ""
                                                       << "" << true << head + "You need an Event Description";
        QTest::newRow("no office, save") << "Event"
                                         << "" << false << head + "You need to identify the office";
        QTest::newRow("no office, save as") << "Event"
                                            << "" << true << head + "You need to identify an office";
    }
    void validation()
    {
        QFETCH(QString, description);
        QFETCH(QString, office);
        QFETCH(bool, saveAs);
        QFETCH(QString, message);
        QCOMPARE(saveValidationMessage(description, office, saveAs ? SaveCommand::SaveAs : SaveCommand::Save), message);
    }

    void failureMessageNamesFileAndReason()
    {
        const QString path = QStringLiteral("/data/analyses/Pump_maint.rca.xml");
        const QString reason = QStringLiteral("No space left on device");
        const QString message = saveFailureMessage(path, reason);
        QVERIFY(message.startsWith(QStringLiteral("The Root Cause Analysis was not saved.")));
        QVERIFY(message.contains(QDir::toNativeSeparators(path)));
        QVERIFY(message.contains(reason));
    }
};

QTEST_GUILESS_MAIN(TestSaveRules)
#include "test_save_rules.moc"
