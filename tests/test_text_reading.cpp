#include "files/codepage.h"
#include "files/xml_get.h"

#include <QTest>

using namespace tessik;

// The two pieces every reader of an analysis file stands on: the Windows-1252 bytes and the
// tag reader.
class TestTextReading : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void xmlGet_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<qsizetype>("start");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<qsizetype>("startAfter");

        QTest::newRow("first occurrence") << "<a>1</a><a>2</a>"
                                          << "a" << qsizetype(1) << "1" << qsizetype(9);
        QTest::newRow("from a later start") << "<a>1</a><a>2</a>"
                                            << "a" << qsizetype(2) << "2" << qsizetype(17);
        QTest::newRow("start on the opening tag") << "xx<a>1</a>"
                                                  << "a" << qsizetype(3) << "1" << qsizetype(11);
        QTest::newRow("start just past the opening tag") << "xx<a>1</a>"
                                                         << "a" << qsizetype(4) << "" << qsizetype(4);
        QTest::newRow("letter case significant") << "<A>1</A><a>2</a>"
                                                 << "a" << qsizetype(1) << "2" << qsizetype(17);
        QTest::newRow("empty element moves start") << "<a></a>rest"
                                                   << "a" << qsizetype(1) << "" << qsizetype(8);
        QTest::newRow("missing element keeps start") << "<b>1</b>"
                                                     << "a" << qsizetype(3) << "" << qsizetype(3);
        QTest::newRow("no closing tag keeps start") << "<a>1<a>2"
                                                    << "a" << qsizetype(1) << "" << qsizetype(1);
        QTest::newRow("closing tag only before") << "</a><a>1"
                                                 << "a" << qsizetype(1) << "" << qsizetype(1);
        QTest::newRow("nesting ignored: the first closing tag ends it")
            << "<a><a>x</a></a>"
            << "a" << qsizetype(1) << "<a>x" << qsizetype(12);
        QTest::newRow("content kept exactly") << "<t> &lt;<\"x\"> \r\n</t>"
                                              << "t" << qsizetype(1) << " &lt;<\"x\"> \r\n"
                                              << qsizetype(21);
        QTest::newRow("start beyond the end") << "<a>1</a>"
                                              << "a" << qsizetype(50) << "" << qsizetype(50);
        QTest::newRow("tag name is a prefix of another") << "<xy>1</xy><x>2</x>"
                                                         << "x" << qsizetype(1) << "2" << qsizetype(19);
    }
    void xmlGet()
    {
        QFETCH(QString, xml);
        QFETCH(QString, tag);
        QFETCH(qsizetype, start);
        QFETCH(QString, expected);
        QFETCH(qsizetype, startAfter);
        qsizetype position = start;
        QCOMPARE(XMLget(xml, tag, position), expected);
        QCOMPARE(position, startAfter);
    }

    // Bytes -> text -> bytes for every value, the five the code page leaves undefined included.
    void everyByteSurvivesReadAndWrite()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = decode1252(all);
        QCOMPARE(text.size(), qsizetype(256));
        QCOMPARE(encode1252(text), all);
    }

    void decodesToTheCodePagesCharacters_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("character");
        QTest::newRow("ASCII letter") << 0x41 << 0x41;
        QTest::newRow("euro sign") << 0x80 << 0x20AC;
        QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
        QTest::newRow("U diaeresis") << 0xDC << 0xDC;
        QTest::newRow("undefined 0x81") << 0x81 << 0x81;
        QTest::newRow("undefined 0x9D") << 0x9D << 0x9D;
    }
    void decodesToTheCodePagesCharacters()
    {
        QFETCH(int, byte);
        QFETCH(int, character);
        const QString text = decode1252(QByteArray(1, char(byte)));
        QCOMPARE(int(text.at(0).unicode()), character);
        QCOMPARE(encode1252(text), QByteArray(1, char(byte)));
    }

    void charactersOutsideTheCodePageBecomeOneQuestionMark_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Greek letter") << QString(QChar(0x03A9)) << QByteArray("?");
        QTest::newRow("C1 control without a place") << QString(QChar(0x0085)) << QByteArray("?");
        QTest::newRow("outside the basic plane") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
    }
    void charactersOutsideTheCodePageBecomeOneQuestionMark()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encode1252(text), bytes);
    }
};

QTEST_GUILESS_MAIN(TestTextReading)
#include "test_text_reading.moc"
