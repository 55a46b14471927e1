#include "files/codepage.h"

#include <QTest>

using namespace tessik;

class TestCodepage : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
        QTest::newRow("left double quote") << 0x93 << 0x201C;
        QTest::newRow("trade mark") << 0x99 << 0x2122;
        QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
        QTest::newRow("no-break space") << 0xA0 << 0xA0;
        QTest::newRow("U diaeresis") << 0xDC << 0xDC;
        QTest::newRow("undefined 0x81") << 0x81 << 0x81;
        QTest::newRow("undefined 0x8D") << 0x8D << 0x8D;
        QTest::newRow("undefined 0x8F") << 0x8F << 0x8F;
        QTest::newRow("undefined 0x90") << 0x90 << 0x90;
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
        QTest::newRow("lone surrogate half") << QString(QChar(0xD800)) << QByteArray("?");
    }
    void charactersOutsideTheCodePageBecomeOneQuestionMark()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encode1252(text), bytes);
    }

    void lowerCase_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("lower");
        QTest::newRow("A") << int('A') << int('a');
        QTest::newRow("Z") << int('Z') << int('z');
        QTest::newRow("already small") << int('q') << int('q');
        QTest::newRow("digit") << int('7') << int('7');
        QTest::newRow("A grave") << 0xC0 << 0xE0;
        QTest::newRow("THORN") << 0xDE << 0xFE;
        QTest::newRow("multiplication sign stays") << 0xD7 << 0xD7;
        QTest::newRow("sharp s stays") << 0xDF << 0xDF;
        QTest::newRow("S caron") << 0x8A << 0x9A;
        QTest::newRow("OE") << 0x8C << 0x9C;
        QTest::newRow("Z caron") << 0x8E << 0x9E;
        QTest::newRow("Y diaeresis") << 0x9F << 0xFF;
    }
    void lowerCase()
    {
        QFETCH(int, byte);
        QFETCH(int, lower);
        QCOMPARE(int(lowerCase1252(static_cast<unsigned char>(byte))), lower);
    }
};

QTEST_GUILESS_MAIN(TestCodepage)
#include "test_codepage.moc"
