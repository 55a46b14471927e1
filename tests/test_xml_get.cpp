#include "files/xml_get.h"

#include <QTest>

using namespace tessik;

class TestXmlGet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsOneElement_data()
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
        QTest::newRow("capital tag not found") << "<Block>1</Block>"
                                               << "block" << qsizetype(1) << "" << qsizetype(1);
        QTest::newRow("empty element moves start") << "<a></a>rest"
                                                   << "a" << qsizetype(1) << "" << qsizetype(8);
        QTest::newRow("missing element keeps start") << "<b>1</b>"
                                                     << "a" << qsizetype(3) << "" << qsizetype(3);
        QTest::newRow("no closing tag keeps start") << "<a>1<a>2"
                                                    << "a" << qsizetype(1) << "" << qsizetype(1);
        QTest::newRow("closing tag only before") << "</a><a>1"
                                                 << "a" << qsizetype(1) << "" << qsizetype(1);
        QTest::newRow("nesting ignored") << "<a><a>x</a></a>"
                                         << "a" << qsizetype(1) << "<a>x" << qsizetype(12);
        QTest::newRow("content kept exactly") << "<t> &lt;<\"x\"> \r\n</t>"
                                              << "t" << qsizetype(1) << " &lt;<\"x\"> \r\n"
                                              << qsizetype(21);
        QTest::newRow("start beyond the end") << "<a>1</a>"
                                              << "a" << qsizetype(50) << "" << qsizetype(50);
        QTest::newRow("start right after the end") << "<a>1</a>"
                                                   << "a" << qsizetype(9) << "" << qsizetype(9);
        QTest::newRow("empty text") << ""
                                    << "a" << qsizetype(1) << "" << qsizetype(1);
        QTest::newRow("tag name is a prefix of another") << "<xy>1</xy><x>2</x>"
                                                         << "x" << qsizetype(1) << "2" << qsizetype(19);
    }
    void readsOneElement()
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

    // Readers share one position to take elements strictly in file order: an element that
    // stands before the one read last is not seen again.
    void sharedStartReadsInFileOrder()
    {
        const QString xml = QStringLiteral("<notes>N</notes><text>T</text><category>C</category>");
        qsizetype position = 1;
        QCOMPARE(XMLget(xml, QStringLiteral("text"), position), QStringLiteral("T"));
        QCOMPARE(XMLget(xml, QStringLiteral("notes"), position), QString());
        QCOMPARE(XMLget(xml, QStringLiteral("category"), position), QStringLiteral("C"));
        QCOMPARE(position, xml.size() + 1);
    }

    void closingTagInsideContentCutsIt()
    {
        qsizetype position = 1;
        QCOMPARE(XMLget(QStringLiteral("<text>a</text>b</text>"), QStringLiteral("text"), position),
                 QStringLiteral("a"));
        QCOMPARE(position, qsizetype(15));
    }
};

QTEST_GUILESS_MAIN(TestXmlGet)
#include "test_xml_get.moc"
