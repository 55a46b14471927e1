#include "files/save_rules.h"

#include <QTest>

using namespace tessik;

class TestSaveRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The proposal is Filter(description) + "_" + Filter(e-mail): ASCII digits and letters only,
    // so no path character can lead the file out of the chosen folder.
    void proposedName_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("name");
        QTest::newRow("both") << "Conveyor stopped: twice!"
                              << "op.one"
                              << "Conveyorstoppedtwice_opone";
        QTest::newRow("accented letters dropped") << "Überlauf 3"
                                                  << ""
                                                  << "berlauf3_";
        QTest::newRow("neighbours of the ranges") << "/09:@AZ[`az{"
                                                  << "\uFF21\U0001F600x"
                                                  << "09AZaz_x";
        QTest::newRow("description of punctuation") << " ... "
                                                    << "op"
                                                    << "_op";
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
        QTest::newRow("blanks pass") << "   "
                                     << " " << false << "";
        QTest::newRow("no description, save") << ""
                                              << "Office" << false << head + "You need an Event Description";
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
};

QTEST_GUILESS_MAIN(TestSaveRules)
#include "test_save_rules.moc"
