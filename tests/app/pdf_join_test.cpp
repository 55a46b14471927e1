// Joining two PDF documents written by Qt's PDF engine, as long reports are made: read back with
// poppler's pdfinfo and pdftotext, which also complain on standard error about a damaged file.
#include "app/core/report/pdf_join.h"
#include "support/test_main.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cctype>

using namespace tessik;
using namespace tessik::test;

namespace {

// A document of one page for each text, the text written once in each style (1 bold, 2 italic).
QByteArray pdfOf(const QStringList &pages, const QList<int> &styles = {0}, const QString &title = "Second")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(title);
    QPainter painter(&writer);
    QFont font("Arial");
    font.setPointSize(12);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        for (qsizetype style = 0; style < styles.size(); ++style) {
            font.setBold(styles[style] & 1);
            font.setItalic(styles[style] & 2);
            painter.setFont(font);
            painter.drawText(QPointF(100, 500 + 400 * style), pages[i]);
        }
    }
    painter.end();
    return bytes;
}

// The tags of the document's fonts embedded in part, in order.
QStringList fontTags(const QByteArray &pdf)
{
    static const QRegularExpression subset("/FontName /([A-Z]{6})\\+");
    QStringList found;
    for (const QRegularExpressionMatch &m : subset.globalMatch(QString::fromLatin1(pdf)))
        found << m.captured(1);
    return found;
}

// What a poppler tool says about the file; anything on standard error goes into `complaints`.
QString poppler(const QString &tool, const QByteArray &pdf, QString *complaints)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("joined.pdf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    QProcess process;
    process.start(tool, tool == "pdftotext" ? QStringList{file.fileName(), "-"} : QStringList{file.fileName()});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        *complaints += tool + " could not read the file (scripts/install-deps.sh brings it). ";
    *complaints += QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

// What a strict reader would find wrong with the file's cross-reference table, which poppler
// forgives: an entry out of form or not leading to its object, a table of another length than
// its count, a trailer that counts otherwise.
QString tableProblems(const QByteArray &pdf)
{
    static const QRegularExpression start("startxref\\s+(\\d+)\\s+%%EOF\\s*$"), head("^xref\\s+0 (\\d+)\\s+"),
        size("trailer\\s*<<[^>]*/Size (\\d+)");
    const QString text = QString::fromLatin1(pdf);
    const QRegularExpressionMatch at = start.match(text);
    if (!at.hasMatch())
        return "no startxref at the end";
    const qsizetype table = at.captured(1).toLongLong();
    const QRegularExpressionMatch counted = head.match(text.mid(table));
    if (!counted.hasMatch())
        return "no table where startxref says";
    const int count = counted.captured(1).toInt();
    QStringList problems;
    if (size.match(text, table).captured(1).toInt() != count)
        problems << "the trailer's /Size is not the table's " + QString::number(count);
    static const QRegularExpression wellFormed("^\\d{10} \\d{5} [nf] \n$");
    const qsizetype entries = table + counted.capturedLength();
    for (int n = 1; n < count; ++n) {
        const QString entry = text.mid(entries + 20 * n, 20);
        if (!wellFormed.match(entry).hasMatch())
            problems << QString("entry %1 is not an entry: ").arg(n) + entry;
        else if (entry.endsWith("n \n") &&
                 !text.mid(entry.left(10).toLongLong()).startsWith(QString("%1 0 obj").arg(n)))
            problems << QString("object %1 is not where its entry says").arg(n);
    }
    if (!text.mid(entries + 20 * count).startsWith("trailer"))
        problems << "the table does not end where its count says";
    return problems.join("; ");
}

// A document made from another by replacing one text with another.
QByteArray replaced(QByteArray pdf, const QByteArray &what, const QByteArray &with)
{
    return pdf.replace(what, with);
}

// Which document is changed, what is replaced and with what.
using OtherWriter = std::tuple<bool, QString, QString>;
// The tag put on the font, its name, and whether the tag goes on every name of the font.
using FontRow = std::tuple<QByteArray, QByteArray, bool>;

} // namespace

class PdfJoinTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The first document's pages, then the second's, each once and in order, and a file poppler
    // reads without a word of complaint. The first's title, with brackets and a backslash in its
    // string, is the joined file's; the second's information is left behind with its catalogue.
    void pagesOfBothInOrder()
    {
        const QByteArray first = pdfOf({"First one", "First two"}, {0}, "First (a draft) \\ ) \u5c00");
        const std::optional<QByteArray> joined =
            joinPdfs(first, pdfOf({"Second one", "Second two", "Second three"}, {1}));
        QVERIFY2(joined, "two documents of Qt's PDF engine were not joined");
        QString complaints;
        const QString info = poppler("pdfinfo", *joined, &complaints);
        const QStringList pages = poppler("pdftotext", *joined, &complaints).split('\f', Qt::SkipEmptyParts);
        QVERIFY2(complaints.isEmpty(), qPrintable(complaints));
        QCOMPARE(tableProblems(*joined), QString());
        QVERIFY2(info.contains(QRegularExpression("Pages: +5\n")), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression("Title: +First \\(a draft\\) \\\\ \\) \u5c00\n")),
                 qPrintable("not the first's title: " + info));
        QCOMPARE(joined->count("/Title"), first.count("/Title"));
        QStringList texts;
        for (const QString &page : pages)
            texts << page.simplified();
        QCOMPARE(texts, QStringList({"First one", "First two", "Second one", "Second two", "Second three"}));
    }

    // A document written as other writers write theirs joins all the same: a delimiter parting two
    // tokens without a blank between them, a string in hexadecimal, a pages dictionary that counts
    // its pages before it lists them. Each change keeps every offset in the file right.
    void writtenAsOthersWriteJoins_data()
    {
        addRows<OtherWriter>({
            {"the second's page type after /Type without a blank",
             {false, "/Type /Page\n/Parent", "/Type/Page \n/Parent"}},
            {"the second's empty creator in hexadecimal", {false, "/Creator \\(\\)", "/Creator <>"}},
            {"the first's pages counted before they are listed",
             {true, "(/Kids\\s*\\[[^\\]]*\\]\\s*)(/Count \\d+\\s*)", "\\2\\1"}},
        });
    }
    void writtenAsOthersWriteJoins()
    {
        QFETCH(OtherWriter, row);
        const auto [inFirst, pattern, with] = row;
        QByteArray first = pdfOf({"First one", "First two"}), second = pdfOf({"Second"}, {1});
        QByteArray &changed = inFirst ? first : second;
        const QByteArray before = changed;
        changed = QString::fromLatin1(changed).replace(QRegularExpression(pattern), with).toLatin1();
        QVERIFY2(changed != before, "Qt's engine no longer writes what this row changes");
        const std::optional<QByteArray> joined = joinPdfs(first, second);
        QVERIFY2(joined, "not joined");
        QString complaints;
        const QStringList pages = poppler("pdftotext", *joined, &complaints).split('\f', Qt::SkipEmptyParts);
        QVERIFY2(complaints.isEmpty(), qPrintable(complaints));
        QCOMPARE(pages.size(), 3);
        QCOMPARE(pages.last().simplified(), QString("Second"));
    }

    // The second document's fonts are other parts of the same fonts: named apart, so that a
    // reader never takes the glyphs of one for those of the other, whatever capitals their tags
    // hold; each under one name wherever the file names it.
    void fontsOfTheSecondNamedApart_data()
    {
        addRows<FontRow>({
            {"as the engine names them", {"", "", false}},
            {"the first and last capitals", {"AZZZZA", "", false}},
            {"a font name of one letter", {"ABCDEF", "L", false}},
            {"the tag on every name of the font", {"", "", true}},
        });
    }
    void fontsOfTheSecondNamedApart()
    {
        QFETCH(FontRow, row);
        const auto [tag, fontName, tagEveryName] = row;
        QByteArray document = pdfOf({"abc"});
        if (tagEveryName) {
            // As other writers do, the font's base names tagged too, in the room of their last letters.
            static const QRegularExpression base("/BaseFont /([A-Za-z0-9-]{8,})");
            const QByteArray oldTag = fontTags(document).value(0).toLatin1();
            const QByteArray name = base.match(QString::fromLatin1(document)).captured(1).toLatin1();
            if (oldTag.isEmpty() || name.isEmpty())
                QSKIP("the engine no longer writes a subset font's names as this test knows them");
            document.replace(QByteArray("/BaseFont /" + name),
                             QByteArray("/BaseFont /" + oldTag + '+' + name.chopped(7)));
        }
        if (!tag.isEmpty()) {
            // Of the same length, blanks after a shorter name, so that every offset in the file stays right.
            static const QRegularExpression named("/FontName /([A-Z]{6}\\+[A-Za-z0-9-]+)");
            const QByteArray old = named.match(QString::fromLatin1(document)).captured(1).toLatin1();
            const QByteArray name = fontName.isEmpty() ? old.mid(7) : fontName;
            document.replace(old, QByteArray(tag + '+' + name).leftJustified(old.size(), ' '));
        }
        const std::optional<QByteArray> joined = joinPdfs(document, document);
        QVERIFY(joined);
        QStringList tags = fontTags(*joined);
        const qsizetype named = tags.size();
        tags.removeDuplicates();
        QVERIFY2(named == 2 && tags.size() == 2, qPrintable("the fonts' tags: " + tags.join(' ')));
        const qsizetype namings = document.count(QByteArray(tags.first().toLatin1() + '+'));
        for (const QString &each : tags)
            QVERIFY2(joined->count(QByteArray(each.toLatin1() + '+')) == namings,
                     qPrintable(QString("the font tagged %1 is not named so in all %2 places").arg(each).arg(namings)));
    }

    // A second document of several fonts (each style of a family is a font of its own, where the
    // machine has them) keeps them apart from each other as well as from the first's, however
    // alike their tags: its second tag alike to its first but for the first capital, its third
    // but for the last, as another writer might make them.
    void everyFontOfTheSecondNamedApart()
    {
        QByteArray document = pdfOf({"abc"}, {0, 1, 3});
        const QStringList own = fontTags(document);
        for (qsizetype i = 1; i < std::min<qsizetype>(own.size(), 3); ++i) {
            QString alike = own[0];
            const qsizetype letter = i == 1 ? 0 : 5;
            alike[letter] = QChar(alike[letter] == 'Z' ? 'Y' : 'Z');
            document.replace(QByteArray(own[i].toLatin1() + '+'), QByteArray(alike.toLatin1() + '+'));
        }
        const std::optional<QByteArray> joined = joinPdfs(document, document);
        QVERIFY2(joined, "not joined");
        QStringList distinct = fontTags(*joined);
        distinct.removeDuplicates();
        QVERIFY2(distinct.size() == 2 * own.size(),
                 qPrintable(QString("%1 fonts in each, tagged %2").arg(own.size()).arg(distinct.join(' '))));
    }

    // A name of six capitals and no plus sign after them is no tag: it stays as it is.
    void sixCapitalsWithoutAPlusAreNoTag()
    {
        QByteArray document = pdfOf({"abc"});
        const QByteArray tag = fontTags(document).value(0).toLatin1(), plain = tag + 'Q';
        QVERIFY2(!tag.isEmpty(), "the engine no longer embeds its fonts in part");
        document.replace(QByteArray(tag + '+'), plain);
        const std::optional<QByteArray> joined = joinPdfs(document, document);
        QVERIFY2(joined, "not joined");
        QCOMPARE(joined->count(plain), 2 * document.count(plain));
    }

    // What is not laid out as the engine lays its files out gives nothing, and the report is
    // then made whole; a joined file that might be damaged is never given.
    void filesOfAnotherMakeGiveNothing_data()
    {
        const QByteArray good = pdfOf({"Page"});
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("not a PDF") << QByteArray("Hello") << good;
        QTest::newRow("nothing") << good << QByteArray();
        QTest::newRow("no cross-references") << good << replaced(good, "startxref", "startxrex");
        QTest::newRow("cross-references past the end") << replaced(good, "startxref\n", "startxref\n9") << good;
        QTest::newRow("a tree of pages in a tree")
            << good << replaced(good, "/Type /Page\n/Parent", "/Type /Pages/Parent");
        QTest::newRow("entries neither in use nor free") << good << replaced(good, " 00000 n \n", " 00000 x \n");
        QTest::newRow("a string left open") << good << replaced(good, "/Type /Catalog", "/Type (Catalog");
        QTest::newRow("a page that refers to the catalogue")
            << good << replaced(good, "/Parent 3 0 R", "/Parent 2 0 R");
        // Each of the following keeps every object where the table says it is.
        QTest::newRow("cross-references at a word") << good << replaced(good, "startxref\n", "startxref\nx");
        QTest::newRow("a table not from object 0") << good << replaced(good, "xref\n0 ", "xref\n1 ");
        QByteArray none = good; // the table's count of entries made zeros
        for (qsizetype i = none.lastIndexOf("xref\n0 ") + 7; i < none.size() && std::isdigit(uchar(none[i])); ++i)
            none[i] = '0';
        QTest::newRow("a table of no entries") << good << none;
        QByteArray cut = good; // the table no more than its first word
        const qsizetype table = good.lastIndexOf("xref\n0 "), end = good.lastIndexOf("startxref");
        cut.replace(table, end - table, "xref\n");
        QTest::newRow("a table cut short") << good << cut;
        QTest::newRow("no trailer") << good << replaced(good, "trailer", "trailex");

        QTest::newRow("a trailer that is no dictionary") << good << replaced(good, "trailer\n<<", "trailer\n[[");
        QByteArray twice = good; // the second object in use where the first is
        const qsizetype firstUsed = good.indexOf(" 00000 n"), secondUsed = good.indexOf(" 00000 n", firstUsed + 1);
        twice.replace(secondUsed - 10, 10, good.mid(firstUsed - 10, 10));
        QTest::newRow("two objects at one place") << good << twice;
        QByteArray swapped = good; // the last two objects in use each where the table puts the other
        const qsizetype lastUsed = good.lastIndexOf(" 00000 n"),
                        beforeLast = good.lastIndexOf(" 00000 n", lastUsed - 1);
        swapped.replace(lastUsed - 10, 10, good.mid(beforeLast - 10, 10));
        swapped.replace(beforeLast - 10, 10, good.mid(lastUsed - 10, 10));
        QTest::newRow("objects that are not where the table says") << good << swapped;
        QTest::newRow("no catalogue") << good << replaced(good, "/Root", "/Rook");
        QString pastTheLast = QString::fromLatin1(good); // the catalogue one number past the last object
        const QString size = QRegularExpression("/Size (\\d+)").match(pastTheLast).captured(1);
        pastTheLast.replace(QRegularExpression("/Root \\d+"), "/Root " + size);
        QTest::newRow("a catalogue past the last object") << good << pastTheLast.toLatin1();
        QTest::newRow("a catalogue without pages") << good << replaced(good, "/Pages 3", "/Pagez 3");
        QTest::newRow("pages that list none") << good << replaced(good, "/Kids", "/Kidz");
        QTest::newRow("a hex string left open") << good << replaced(good, "/DeviceRGB]", "<DeviceRGB]");
    }
    void filesOfAnotherMakeGiveNothing()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QVERIFY2(!joinPdfs(first, second), "joined");
    }
};

TESSIK_TEST(PdfJoinTest)
#include "pdf_join_test.moc"
