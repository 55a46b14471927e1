// The report: what it says about an analysis (counts, chains, causes by category and by notes
// classification, the reading order), and the three files it is written as, read back with real
// readers: pdftotext for the PDF, an XML parser for the HTML, unzip and an XML parser for the ODT.
#include "app/core/report/content.h"
#include "app/core/report/outline.h"
#include "app/core/report/report_file.h"
#include "app/core/report/text_document.h"
#include "app/core/user_files.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QFontInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QXmlStreamReader>

using namespace tessik;
using namespace tessik::test;

namespace {

Block live(int parent, float x, float y, const QString &caption = {}, const QString &notes = {},
           const QString &category = {})
{
    return {kTrue, std::int16_t(parent), x, y, caption, notes, category};
}

BlockTable tableOf(const QList<Block> &blocks)
{
    BlockTable table;
    for (const Block &block : blocks)
        table.appendSlot(block);
    return table;
}

QString joined(const std::vector<int> &ids, const QString &separator)
{
    QStringList list;
    for (int id : ids)
        list << QString::number(id);
    return list.join(separator);
}

// Everything the content says, in one line a reader can compare: the counts, the reading order,
// the chains (cause first, '*' where a loop ends the walk) and the groups that hold blocks, with
// their causes, by category and by notes classification. Blocks by their ids.
QString describe(const BlockTable &table)
{
    const ReportContent c = reportContent(table);
    QStringList parts{QString::asprintf("%d blocks, %d causes, %d impacts, %d chains, %d unrooted",
                                        int(c.readingOrder.size()), c.causeCount, c.impactCount, c.chainCount,
                                        c.unrootedBlocks),
                      joined(c.readingOrder, " ")};
    QStringList chains;
    for (const ReportChain &chain : c.chains)
        chains << joined(chain.ids, ">") + (chain.endsInLoop ? "*" : "");
    parts << chains.join("; ");
    for (const std::vector<ReportGroup> *groups : {&c.byCategory, &c.byNotes}) {
        QStringList list;
        for (const ReportGroup &g : *groups)
            if (g.blockCount > 0)
                list << QStringLiteral("%1 %2 [%3]").arg(g.name).arg(g.blockCount).arg(joined(g.causes, " "));
        parts << list.join("; ");
    }
    return parts.join(" | ");
}

// A pump failure of seven blocks.
const QList<Block> kPump{
    live(0, 0, 0, "Pump P-101 failed", "Technology\r\nSeal found dry at 06:40", "Physical Resources"),
    live(1, 15, -15, "Seal ran dry", "science; HUMAN FACTORS\r\nFlush line closed", "Motives"),
    live(1, 15, 15, "Alarm ignored"),
    live(2, 30, -15, "Flush valve shut", "Technology and Science", "information overload"),
    live(2, 30, 0, "Night shift short-staffed", "technology", "Societal Impacts"),
    live(3, 30, 15, "No alarm rationalisation",
         "Human Factors; Technology; Science\r\n\r\nLast line after an empty one", "Wellness/Capacity"),
    live(3, 30, 30, "Handover log unread", "", "Information"),
};

// Every text a user types made hostile to markup, one block without children and one without
// notes; or, tame, the same with every character but blanks and line breaks made a letter.
Analysis hostile(bool tame)
{
    static const QRegularExpression anything("[^ \r\n]");
    const auto t = [&](QString text) { return tame ? text.replace(anything, "x") : text; };
    return {t("]]><h1>&amp;</h1> \"quoted\" 'single'"), t("<script>"), t("</td><td>"),
            tableOf({live(0, 0, 0, t("<script>alert(1)</script>"), t("</td></tr></table>\r\n&amp; ]]> <![CDATA[x]]>"),
                          t("</td><td>")),
                     live(1, 15, 0, t("]]>&amp;</p>"), t("<b>bold</b> \x07 bell"), t("<category/>")),
                     live(2, 30, 0, t("</li></ul><li>"))})};
}

ReportInput inputFor(const Analysis &analysis, const QLocale &locale = QLocale(QLocale::German))
{
    return ReportInput(analysis, DiagramColours(), PixelMapping::forStartupSize(605, 397), "Pump.rca.xml",
                       QDateTime(QDate(2026, 3, 4), QTime(14, 5)), QDateTime(QDate(2026, 3, 5), QTime(9, 30)), locale);
}

QByteArray runBytes(const QString &program, const QStringList &arguments, QString *error)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        *error += program + " could not read the file (scripts/install-deps.sh brings it): " + process.errorString();
    return process.readAllStandardOutput();
}

QString run(const QString &program, const QStringList &arguments, QString *error)
{
    return QString::fromUtf8(runBytes(program, arguments, error));
}

// The text of an XML document, a blank between elements, and the names of its elements outside
// the pictures (whose drawing depends on the text's width), in order. A table row with another
// number of cells than the table's first row is an error.
QString xmlText(const QByteArray &xml, QStringList *structure, QString *error)
{
    QXmlStreamReader reader(xml);
    QString text;
    int inPicture = 0, cells = 0, rowCells = -1;
    while (!reader.atEnd()) {
        reader.readNext();
        const QString name = reader.name().toString();
        const bool row = name == "tr" || name == "table-row";
        if (reader.isStartElement()) {
            if (!(inPicture += name == "svg") && structure)
                *structure << name;
            rowCells = name == "table" ? -1 : rowCells;
            cells = row ? 0 : cells + (name == "td" || name == "th" || name == "table-cell");
        } else if (reader.isEndElement()) {
            inPicture -= name == "svg";
            if (row && rowCells >= 0 && cells != rowCells)
                *error += QString::asprintf(" a row of %d cells after %d: ", cells, rowCells) + text.right(80);
            rowCells = row && rowCells < 0 ? cells : rowCells;
        }
        text += reader.isCharacters() ? reader.text().toString() : " ";
    }
    if (reader.hasError())
        *error += " not well-formed XML: " + reader.errorString();
    return text;
}

// What a reader of the file sees: its text, and its structure where it has one.
QString readBack(const QString &path, QStringList *structure, QString *error)
{
    if (path.endsWith(".pdf", Qt::CaseInsensitive))
        return run("pdftotext", {"-enc", "UTF-8", path, "-"}, error) + run("pdfinfo", {path}, error);
    if (path.endsWith(".html", Qt::CaseInsensitive))
        return xmlText(readBytes(path), structure, error);
    if (run("unzip", {"-p", path, "mimetype"}, error) != "application/vnd.oasis.opendocument.text")
        *error += " no OpenDocument text";
    return xmlText(run("unzip", {"-p", path, "content.xml"}, error).toUtf8(), structure, error);
}

// The analysis's report written as `name` in `dir`, as a reader reads it.
QString reportText(const QTemporaryDir &dir, const QString &name, const ReportInput &input, QStringList *structure,
                   QString *error)
{
    const IoResult written = writeReport(dir.filePath(name), input);
    if (!written.ok)
        *error += " not written: " + written.reason;
    return readBack(dir.filePath(name), structure, error);
}

// The format's ending, the analysis, the locale, the words the report must hold (blanks collapsed), the PDF's page
// size as pdfinfo gives it (or words no format may hold), and whether the structure must be that
// of the same analysis in plain letters.
using FileRow = std::tuple<QString, Analysis, QLocale, QStringList, QString, bool>;
using ContentRow = std::pair<QList<Block>, QString>;
// The format, the blocks and the fonts the PDF embeds.
using LongRow = std::tuple<QString, int, int>;
using ContentWords = std::pair<QList<Block>, QStringList>;

QStringList pumpWords()
{
    // The heading, the summary, the chains, the groups with their counts and causes, a block's row.
    QStringList words = QString("Pump P-101 failed during the night shift|Plant North|jmeyer@example.org|Pump.rca.xml|"
                                "2026-03-04 14:05|2026-03-05 09:30|Blocks 7|Causes (blocks without children) 4|"
                                "Impacts (blocks without a parent) 1|Flush valve shut → Seal ran dry → Pump P-101 "
                                "failed|Physical Resources 1 None|Information 2 Flush valve shut Handover log unread|"
                                "Technology 2 Night shift short-staffed|Category Motives Notes classification Science "
                                "and Human Factors Parent Pump P-101 failed")
                            .split('|');
    for (const Block &block : kPump)
        words << block.caption << block.notes.split("\r\n", Qt::SkipEmptyParts);
    return words;
}

// A report's text and markup as a reader gets it, without the pictures, whose drawing depends on
// the fonts' measures: the HTML without its <svg> elements, the body of the ODT's content.xml
// without its frames (the styles before it come in no fixed order).
QString withoutPictures(const QString &path, QString *error)
{
    static const QRegularExpression svg("<svg\\b.*?</svg>", QRegularExpression::DotMatchesEverythingOption),
        frame("<draw:frame\\b.*?</draw:frame>", QRegularExpression::DotMatchesEverythingOption);
    if (path.endsWith(".html"))
        return QString::fromUtf8(readBytes(path)).replace(svg, "<svg/>");
    const QString content = run("unzip", {"-p", path, "content.xml"}, error);
    // The kinds of formatting the styles give (fonts, margins, borders, column widths) come
    // before the body, in no fixed order.
    static const QRegularExpression properties("<style:([a-z-]+)-properties ([^>]*)/>");
    QStringList kinds;
    for (const QRegularExpressionMatch &m : properties.globalMatch(content.left(content.indexOf("<office:body>"))))
        kinds << m.captured(1) + ' ' + m.captured(2);
    kinds.sort();
    kinds.removeDuplicates();
    return kinds.join('\n') + '\n' +
           content.mid(content.indexOf("<office:body>")).replace(frame, "<draw:frame/>").replace("><", ">\n<");
}

// The pictures of the pump failure's report as an ODT, each with its frame's width in pixels of 1/96 inch.
QList<std::pair<QImage, double>> odtPictures()
{
    QTemporaryDir dir;
    const QString odt = dir.filePath("pump.odt");
    QString error;
    if (!writeReport(odt, inputFor({"Pump", "jmeyer", "Plant North", tableOf(kPump)})).ok)
        error = "not written";
    const QString content = run("unzip", {"-p", odt, "content.xml"}, &error);
    static const QRegularExpression frame(
        "<draw:frame [^>]*svg:width=\"([0-9.]+)(pt|in|cm|mm)\"[^>]*>\\s*<draw:image [^>]*xlink:href=\"([^\"]+)\"");
    const QMap<QString, double> pixelsPer{{"pt", 96 / 72.0}, {"in", 96.0}, {"cm", 96 / 2.54}, {"mm", 96 / 25.4}};
    QList<std::pair<QImage, double>> pictures;
    for (const QRegularExpressionMatch &m : frame.globalMatch(content))
        pictures.append({QImage::fromData(runBytes("unzip", {"-p", odt, m.captured(3)}, &error)),
                         m.captured(1).toDouble() * pixelsPer[m.captured(2)]});
    if (!error.isEmpty() || pictures.size() != 3)
        qWarning("the ODT's pictures could not be read: %s", qPrintable(error));
    return pictures;
}

// The first column of the picture with a pixel that is not white.
int firstInkedColumn(const QImage &image)
{
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return x;
    return -1;
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What the report says about a table, its blocks named by their ids.
    void content_data()
    {
        addRows<ContentRow>({
            {"a pump failure",
             {kPump, "7 blocks, 4 causes, 1 impacts, 4 chains, 0 unrooted | 2 4 1 5 3 6 7 | 4>2>1; 5>2>1; 6>3>1; "
                     "7>3>1 | Physical Resources 1 []; Information 2 [4 7]; Motives 1 []; Wellness/Capacity 1 [6]; "
                     "No category 1 []; Societal Impacts 1 [5] | Technology 2 [5]; Science and Technology 1 [4]; "
                     "Science and Human Factors 1 []; Science, Technology and Human Factors 1 [6]; No notes "
                     "classification 2 [7]"}},
            {"impacts and causes by position, a row within half a box",
             {{live(0, 0, 20), live(0, 0, -20), live(2, 20, -20), live(2, 14, -16), live(1, 20, 25)},
              "5 blocks, 3 causes, 2 impacts, 3 chains, 0 unrooted | 2 4 3 1 5 | 4>2; 3>2; 5>1 | No category 5 [4 3 "
              "5] | No notes classification 5 [4 3 5]"}},
            {"one a little above the other in a row, higher first",
             {{live(0, 0, 2), live(0, 0, 0)},
              "2 blocks, 2 causes, 2 impacts, 2 chains, 0 unrooted | 2 1 | 2; 1 | No category 2 [2 1] | No notes "
              "classification 2 [2 1]"}},
            {"half a box lower is the next row",
             {{live(0, 20, 0), live(0, 0, 5)},
              "2 blocks, 2 causes, 2 impacts, 2 chains, 0 unrooted | 1 2 | 1; 2 | No category 2 [1 2] | No notes "
              "classification 2 [1 2]"}},
            {"a loop of parent links, walked once",
             {{live(2, 0, 0), live(1, 15, 0), live(2, 30, 0), live(0, 45, 0)},
              "4 blocks, 2 causes, 1 impacts, 1 chains, 3 unrooted | 1 2 3 4 | 4; 3>2>1* | No category 4 [3 4] | No "
              "notes classification 4 [3 4]"}},
            {"parents that are no block",
             {{live(2, 0, 0), Block(), live(3, 15, 0), live(99, 30, 0)},
              "3 blocks, 3 causes, 3 impacts, 3 chains, 0 unrooted | 1 3 4 | 1; 3; 4 | No category 3 [1 3 4] | No "
              "notes classification 3 [1 3 4]"}},
        });
    }
    void content()
    {
        QFETCH(ContentRow, row);
        QCOMPARE(describe(tableOf(row.first)), row.second);
    }

    // The pump failure's report, word for word and element for element, pictures aside.
    void matchesItsReference_data() { addRows<QString>({{"html", "html"}, {"odt", "odt"}}); }
    void matchesItsReference()
    {
        QFETCH(QString, row);
        QTemporaryDir dir;
        const Analysis pump{"Pump P-101 failed during the night shift", "jmeyer", "Plant North", tableOf(kPump)};
        QVERIFY(writeReport(dir.filePath("pump." + row), inputFor(pump, QLocale(QLocale::English))).ok);
        QString error;
        const QString made = withoutPictures(dir.filePath("pump." + row), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        compareWithRecorded(made.split('\n'), dataFile("pump_report." + row + ".txt"));
    }

    // Notes of thousands of lines, laid out in pieces, come out whole: each line once, in order.
    // In the PDF each page comes once, in order, with its number; a long report of many blocks
    // is made in two parts by two threads (each part embeds the fonts it uses), the second
    // starting a page with a block's caption.
    void longNotesComeOutWhole_data()
    {
        addRows<LongRow>({{"odt, one block", {"odt", 1, 0}},
                          {"pdf, one block", {"pdf", 1, 2}},
                          {"pdf, in two parts", {"pdf", 20, 4}}});
    }
    void longNotesComeOutWhole()
    {
        QFETCH(LongRow, row);
        const auto [ending, blocks, fontsEmbedded] = row;
        QTemporaryDir dir;
        QList<Block> table;
        QStringList lines;
        for (int b = 0; b < blocks; ++b) {
            QStringList notes;
            for (int i = 1; i <= 10000 / blocks; ++i)
                notes << QString::asprintf("Reading %02d.%05d", b, i);
            table << live(0, float(15 * b), 0, QString::asprintf("Gauge %02d", b), notes.join("\r\n"));
            lines << notes;
        }
        QString error;
        const QString text =
            reportText(dir, "long." + ending, inputFor({"Long notes", "", "", tableOf(table)}), nullptr, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        static const QRegularExpression reading("Reading \\d\\d\\.\\d{5}");
        QStringList found;
        for (const QRegularExpressionMatch &m : reading.globalMatch(text))
            found << m.captured();
        // Where a paragraph runs on from the page before, Qt's text layout also draws that page's
        // last line, clipped away; now and then it falls inside the page, and pdftotext reads it
        // there too. Each line counts where it first comes, but only then.
        if (blocks > 1)
            found.removeDuplicates();
        QVERIFY2(found == lines, qPrintable(QString("%1 lines out of %2").arg(found.size()).arg(lines.size())));
        if (ending == "odt")
            return;
        const QStringList pages = text.split('\f');
        const qsizetype count = pages.size() - 1; // what follows the last page is pdfinfo's
        QVERIFY2(count > 100, qPrintable(QString("%1 pages").arg(count)));
        for (qsizetype page = 0; page < count; ++page)
            QVERIFY2(pages[page].contains(QString("Page %1 of %2").arg(page + 1).arg(count)),
                     qPrintable(QString("page %1 of %2:\n").arg(page + 1).arg(count) + pages[page].left(300)));
        const QStringList fonts = run("pdffonts", {dir.filePath("long.pdf")}, &error).split('\n').filter("yes");
        QVERIFY2(fonts.size() == fontsEmbedded, qPrintable(fonts.join('\n')));
        // What comes before the notes is there too, where a report of one part has it.
        QVERIFY2(pages[0].contains("Point of contact") && pages[0].contains("Report made"),
                 qPrintable("the first page lacks the analysis's particulars:\n" + pages[0].left(300)));
        if (blocks > 1) {
            static const QRegularExpression caption("^Long notes\\s+Gauge \\d\\d\\s+Category");
            QVERIFY2(std::any_of(pages.begin() + 1, pages.end(), [](const QString &p) { return p.contains(caption); }),
                     "no page after the first starts with a block's caption");
        }
    }

    // A part of a long report after the first starts with its own first element, at the top of
    // the page it starts, with no empty line above it.
    void laterPartStartsWithItsFirstElement()
    {
        const Analysis a{"Parts", "", "", tableOf({live(0, 0, 0, "Gauge 00"), live(0, 15, 0, "Gauge 01")})};
        const ReportOutline outline = reportOutline(inputFor(a));
        const auto last = std::find_if(outline.elements.rbegin(), outline.elements.rend(),
                                       [](const ReportElement &e) { return e.kind == ReportElement::Subheading; });
        QVERIFY(last != outline.elements.rend());
        const size_t cut = size_t(outline.elements.rend() - last) - 1;
        const std::unique_ptr<QTextDocument> part = reportDocumentPart(outline, cut, outline.elements.size(), 1.0);
        QCOMPARE(part->begin().text(), QString("Gauge 01"));
    }

    // The ODT's pictures print as the page shows them: two pixels for each pixel of 1/96 inch they
    // take on the page, so that they print sharp; drawn on white, as on the page (the corners of
    // the diagram and of the charts); the diagram with as much white left of the leftmost box as
    // above the topmost.
    void odtPicturesPrintAsShown()
    {
        const QList<std::pair<QImage, double>> pictures = odtPictures();
        QStringList ratios, corners;
        for (const auto &[image, framePixels] : pictures) {
            ratios << QString::number(image.width() / framePixels, 'f', 1);
            corners << QColor(image.pixel(0, 0)).name() + ' ' + QColor(image.pixel(image.width() - 1, 0)).name();
        }
        QCOMPARE(ratios, QStringList({"2.0", "2.0", "2.0"}));
        QCOMPARE(corners, QStringList(3, "#ffffff #ffffff"));
        const QImage diagram = pictures.value(0).first;
        const QImage transposed = diagram.transformed(QTransform().rotate(90)).mirrored(true, false); // rows as columns
        const int whiteLeft = firstInkedColumn(diagram), whiteAbove = firstInkedColumn(transposed);
        QCOMPARE(whiteLeft, whiteAbove);
    }

    // Chains that run into a loop of parent links, as a damaged file may bring, are told apart,
    // each walked once; blocks that are all in a loop have no cause to start a chain from.
    void loopsInTheReport_data()
    {
        addRows<ContentWords>({
            {"chains into a loop",
             {{live(2, 0, 0, "A"), live(1, 15, 0, "B"), live(2, 30, 0, "C"), live(2, 45, 0, "D")},
              {"Chains that run into a loop of parent links", "C → B → A → back to B", "D → B → A → back to B"}}},
            {"a loop alone", {{live(2, 0, 0, "A"), live(1, 15, 0, "B")}, {"No chain reaches an impact."}}},
        });
    }
    void loopsInTheReport()
    {
        QFETCH(ContentWords, row);
        QTemporaryDir dir;
        QString error;
        const QString text =
            reportText(dir, "loop.html", inputFor({"Loop", "", "", tableOf(row.first)}), nullptr, &error).simplified();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        for (const QString &words : row.second)
            QVERIFY2(text.count(words) == 1, qPrintable("not once: " + words + "\nin: " + text));
        QVERIFY2(text.contains("back to") == row.second.join(' ').contains("back to"), qPrintable(text));
    }

    // Where the PDF places every word (its margins, page numbers, bands) and the HTML's pictures
    // (the diagram's crop, each picture's size, the bars' lengths), as recorded. Both follow the
    // font's measures: they are compared where Arial is Liberation Sans, as when they were recorded.
    void placesAndPicturesAsRecorded()
    {
        const QString family = QFontInfo(QFont("Arial")).family();
        if (family != "Liberation Sans")
            QSKIP(qPrintable("the places were recorded in Liberation Sans, not " + family));
        QTemporaryDir dir;
        const Analysis pump{"Pump P-101 failed", "jmeyer", "Plant North", tableOf(kPump)};
        QVERIFY(writeReport(dir.filePath("pump.pdf"), inputFor(pump)).ok &&
                writeReport(dir.filePath("pump.html"), inputFor(pump)).ok);
        QString error;
        QStringList lines = run("pdftotext", {"-bbox", dir.filePath("pump.pdf"), "-"}, &error)
                                .split('\n')
                                .filter(QRegularExpression("<word|<page"));
        static const QRegularExpression svg("<svg\\b.*?</svg>", QRegularExpression::DotMatchesEverythingOption);
        for (const QRegularExpressionMatch &m :
             svg.globalMatch(QString::fromUtf8(readBytes(dir.filePath("pump.html")))))
            lines << m.captured().replace("><", ">\n<").split('\n');
        QVERIFY2(error.isEmpty(), qPrintable(error));
        compareWithRecorded(lines, dataFile("recorded/pump_report.places.txt"));
        // And its pages as a reader draws them, small: the bands, the rules, the fills and the charts.
        run("pdftoppm", {"-r", "24", "-png", dir.filePath("pump.pdf"), dir.filePath("page")}, &error);
        const QStringList pages = QDir(dir.path()).entryList({"page-*.png"});
        QVERIFY2(error.isEmpty() && !pages.isEmpty(), qPrintable(error));
        for (const QString &page : pages) {
            const QString recorded = dataFile("recorded/pump_report-" + page);
            QVERIFY(!kRecording || QImage(dir.filePath(page)).save(recorded));
            const QString diff = pictureDifference(QImage(recorded), QImage(dir.filePath(page)));
            QVERIFY2(diff.isEmpty(), qPrintable(page + ": " + diff));
        }
    }

    // The PDF's diagram and charts are drawn as lines, shapes and text, not placed as images:
    // no image in the file, and the pages show the fill of Physical Resources, in box and bar.
    void pdfPicturesAreDrawn()
    {
        QTemporaryDir dir;
        QVERIFY(writeReport(dir.filePath("pump.pdf"), inputFor({"Pump", "", "", tableOf(kPump)})).ok);
        QString error;
        const QStringList images = run("pdfimages", {"-list", dir.filePath("pump.pdf")}, &error).split('\n');
        run("pdftoppm", {"-r", "30", "-png", dir.filePath("pump.pdf"), dir.filePath("page")}, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY2(images.size() == 3 && images[2].isEmpty(), qPrintable(images.join('\n'))); // the heading only
        const Colour fill = boxFill(tableOf(kPump), 1, DiagramColours());
        int filled = 0;
        for (const QFileInfo &page : QDir(dir.path()).entryInfoList({"page*.png"})) {
            const QImage image(page.filePath());
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    filled += image.pixel(x, y) == qRgb(redOf(fill), greenOf(fill), blueOf(fill));
        }
        QVERIFY2(filled > 100, qPrintable(QString("%1 pixels of the fill of Physical Resources").arg(filled)));
    }

    // Characters XML cannot hold become visible stand-ins; surrogate pairs and tabs stay.
    void xmlSafeText_data()
    {
        addRows<QStringList>({
            {"controls",
             {"\x07"
              "bell\x1f\tA\r\n",
              "\u2407bell\u241f\tA\r\n"}},
            {"a pair", {"x\U0001F600", "x\U0001F600"}},
            {"lone surrogates",
             {QStringView(u"\xd83d\x01\xde00").toString(), QStringView(u"\xfffd\u2401\xfffd").toString()}},
            {"a high one last", {QStringView(u"a\xd83d").toString(), QStringView(u"a\xfffd").toString()}},
            {"non-characters", {QStringView(u"\xfffe\xffff").toString(), QStringView(u"\xfffd\xfffd").toString()}},
        });
    }
    void xmlSafeText()
    {
        QFETCH(QStringList, row);
        QCOMPARE(tessik::xmlSafeText(row[0]), row[1]);
    }

    // Each format holds every caption, notes line, count and cause; markup in the texts stays
    // text and leaves the structure as plain letters make it; an empty analysis says so.
    void files_data()
    {
        const QStringList hostileWords = QString("]]><h1>&amp;</h1> \"quoted\" 'single'|<script>@example.org|</td><td>|"
                                                 "<script>alert(1)</script>|</td></tr></table>|&amp; ]]> <![CDATA[x]]>|"
                                                 "</li></ul><li> → ]]>&amp;</p> → <script>alert(1)</script>|"
                                                 "<category/> 1 None|No category 1 </li></ul><li>|<b>bold</b>")
                                             .split('|');
        const Analysis pump{"Pump P-101 failed during the night shift", "jmeyer", "Plant North", tableOf(kPump)},
            nothing{"Empty analysis", "", "", {}};
        const QLocale us(QLocale::English, QLocale::UnitedStates), de(QLocale::German);
        QTest::addColumn<FileRow>("row");
        for (const QString ending : {"pdf", "html", "odt"}) {
            // The charts' bars, each with its label and count, read in the order drawn (HTML's inline SVG).
            const QStringList bars{"Physical Resources 1 Structure/Process 0", "Science 0 Technology 2"};
            // The PDF names the program that made it and the event (pdfinfo).
            const QStringList own = ending == "html" ? bars
                                    : ending == "pdf"
                                        ? QStringList{"Creator: Tessik " + ProgramVersion, "Title: " + pump.description}
                                        : QStringList();
            QTest::addRow("%s, a pump failure, Letter", qPrintable(ending))
                << FileRow{ending, pump, us, pumpWords() + own, "612 x 792", false};
            QTest::addRow("%s, hostile texts, A4", qPrintable(ending))
                << FileRow{ending, hostile(false), de, hostileWords, "595 x 842", true};
            QTest::addRow("%s, empty", qPrintable(ending)) << FileRow{
                ending, nothing, de, {"Empty analysis", "This analysis has no blocks"}, "Every block", false};
        }
    }
    void files()
    {
        QFETCH(FileRow, row);
        const auto [ending, analysis, locale, words, paper, againstTame] = row;
        QTemporaryDir dir;
        QString error;
        QStringList structure, tameStructure;
        // The ending's letter case does not matter.
        const QString text =
            reportText(dir, "report." + ending.toUpper(), inputFor(analysis, locale), &structure, &error).simplified();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        for (const QString &word : words)
            QVERIFY2(text.contains(word.simplified()), qPrintable("missing: " + word + "\nin: " + text.left(3000)));
        // The paper size (pdfinfo), or what an empty report leaves out.
        QCOMPARE(text.contains(paper), ending == "pdf" && paper.contains(" x "));
        if (againstTame && ending != "pdf") {
            reportText(dir, "tame." + ending, inputFor(hostile(true), locale), &tameStructure, &error);
            QCOMPARE(structure, tameStructure);
        }
    }

    // A name without a format's ending (the one chosen in a dialog for another kind of file) is
    // refused with a message that names the file, and nothing is written.
    void nameWithoutAFormatsEnding()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("report.odt.bak");
        const IoResult written = writeReport(path, inputFor(Analysis()));
        const QString message = reportFailureMessage(path, written.reason);
        QVERIFY2(!written.ok && message.contains("The name must end in .pdf, .html or .odt") &&
                     message.contains(QDir::toNativeSeparators(path)),
                 qPrintable(message));
        QVERIFY2(QDir(dir.path()).isEmpty(), "a file was written");
    }
};

TESSIK_TEST(ReportTest)
#include "report_test.moc"
