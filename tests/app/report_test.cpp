// The report: what it says about an analysis (counts, chains, causes by
// category and by notes classification, the reading order), and the three files
// it is written as, read back with real readers: pdftotext for the PDF, an XML
// parser for the HTML, unzip and an XML parser for the ODT.
#include "app/core/report/content.h"
#include "app/core/report/report_file.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace tessik;
using namespace tessik::test;

namespace {

struct BlockRow {
    QString caption;
    float x = 0, y = 0;
    int parent = 0;
    QString category = {}, notes = {};
    std::int16_t active = kTrue;
};

BlockTable tableOf(const QList<BlockRow> &blockRows)
{
    BlockTable table;
    for (const BlockRow &s : blockRows)
        table.appendSlot({s.active, std::int16_t(s.parent), s.x, s.y, s.caption, s.notes, s.category});
    return table;
}

QString captions(const BlockTable &table, const std::vector<int> &ids, const QString &separator)
{
    QStringList list;
    for (int id : ids)
        list << table.block(id).caption;
    return list.join(separator);
}

QString groups(const BlockTable &table, const std::vector<ReportGroup> &groups)
{
    QStringList list;
    for (const ReportGroup &g : groups)
        if (g.blockCount > 0)
            list << QStringLiteral("%1 %2 [%3]").arg(g.name).arg(g.blockCount).arg(captions(table, g.causes, " "));
    return list.join("; ");
}

// Everything the content says, in one line a reader can compare.
QString describe(const BlockTable &table)
{
    const ReportContent c = reportContent(table);
    QStringList chains;
    for (const ReportChain &chain : c.chains)
        chains << captions(table, chain.ids, ">") + (chain.endsInLoop ? "*" : "");
    return QStringLiteral("%1 blocks, %2 causes, %3 impacts, %4 chains, %5 unrooted")
               .arg(c.readingOrder.size())
               .arg(c.causeCount)
               .arg(c.impactCount)
               .arg(c.chainCount)
               .arg(c.unrootedBlocks) +
           " | order " + captions(table, c.readingOrder, " ") + " | " + chains.join("; ") + " | " +
           groups(table, c.byCategory) + " | " + groups(table, c.byNotes);
}

using ContentRow = std::pair<QList<BlockRow>, QString>;

// A pump failure of seven blocks.
const QList<BlockRow> kPump{
    {"Pump P-101 failed", 0, 0, 0, "Physical Resources", "Technology\r\nSeal found dry at 06:40"},
    {"Seal ran dry", 15, -15, 1, "Motives", "science; HUMAN FACTORS\r\nFlush line closed"},
    {"Alarm ignored", 15, 15, 1, "", ""},
    {"Flush valve shut", 30, -15, 2, "information overload", "Technology and Science"},
    {"Night shift short-staffed", 30, 0, 2, "Societal Impacts", "technology"},
    {"No alarm rationalisation", 30, 15, 3, "Wellness/Capacity",
     "Human Factors; Technology; Science\r\n\r\nLast line after an empty one"},
    {"Handover log unread", 30, 30, 3, "Information", ""},
};

Analysis pumpAnalysis(const QList<BlockRow> &blockRows = kPump)
{
    Analysis a;
    a.description = "Pump P-101 failed during the night shift";
    a.email = "jmeyer";
    a.office = "Plant North";
    a.table = tableOf(blockRows);
    return a;
}

// Every text a user types, made hostile to markup; one block without children,
// one without notes.
Analysis hostileAnalysis(bool tame)
{
    Analysis a;
    a.description = "]]><h1>&amp;</h1> \"quoted\" 'single'";
    a.email = "<script>";
    a.office = "</td><td>";
    a.table =
        tableOf({{"<script>alert(1)</script>", 0, 0, 0, "</td><td>", "</td></tr></table>\r\n&amp; ]]> <![CDATA[x]]>"},
                 {"]]>&amp;</p>", 15, 0, 1, "<category/>", "<b>bold</b> \x07 bell"},
                 {"</li></ul><li>", 30, 0, 2, "", ""}});
    if (!tame)
        return a;
    // The same analysis with every character but blanks and line breaks replaced
    // by a letter.
    static const QRegularExpression anything("[^ \r\n]");
    for (QString *text : {&a.description, &a.email, &a.office})
        text->replace(anything, "x");
    for (int id : a.table.liveIds()) {
        Block b = a.table.block(id);
        for (QString *text : {&b.caption, &b.notes, &b.category})
            text->replace(anything, "x");
        a.table.setBlock(id, b);
    }
    return a;
}

ReportInput inputFor(const Analysis &analysis, const QLocale &locale = QLocale(QLocale::German, QLocale::Germany))
{
    return {analysis,
            DiagramColours(),
            PixelMapping::forStartupSize(605, 397),
            "Pump.rca.xml",
            QDateTime(QDate(2026, 3, 4), QTime(14, 5)),
            QDateTime(QDate(2026, 3, 5), QTime(9, 30)),
            locale};
}

QString run(const QString &program, const QStringList &arguments, QString *error)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        *error = program +
                 " could not read the file (is it installed? "
                 "scripts/install-deps.sh brings it): " +
                 process.errorString() + process.readAllStandardError();
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString collapsed(const QString &text)
{
    return text.simplified();
}

// The text of an XML document, a blank between elements, and the names of its
// elements outside the pictures (whose drawing depends on the text's width), in
// order. A table row with another number of cells than the table's first row is
// an error.
QString xmlText(const QByteArray &xml, QStringList *structure, QString *error)
{
    QXmlStreamReader reader(xml);
    QString text;
    int inPicture = 0, inStyle = 0, cells = 0, rowCells = -1;
    const QStringList rows{"tr", "table-row"}, cellNames{"td", "th", "table-cell"};
    while (!reader.atEnd()) {
        reader.readNext();
        const QString name = reader.name().toString();
        if (reader.isStartElement()) {
            inPicture += name == "svg";
            inStyle += name == "style";
            if (!inPicture)
                *structure << name;
            rowCells = name == "table" ? -1 : rowCells;
            cells = rows.contains(name) ? 0 : cells + cellNames.contains(name);
            text += ' ';
        } else if (reader.isEndElement()) {
            inPicture -= name == "svg";
            inStyle -= name == "style";
            if (rows.contains(name) && rowCells >= 0 && cells != rowCells)
                *error += QStringLiteral(" a table row of %1 cells after one of %2 near: %3")
                              .arg(cells)
                              .arg(rowCells)
                              .arg(text.right(80));
            rowCells = rows.contains(name) && rowCells < 0 ? cells : rowCells;
            text += ' ';
        } else if (reader.isCharacters() && !inStyle) {
            text += reader.text();
        }
    }
    if (reader.hasError())
        *error +=
            QStringLiteral("not well-formed XML at line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
    return text;
}

// What a reader of the file sees: its text, and its structure where it has one.
QString readBack(const QString &path, QStringList *structure, QString *error)
{
    const QByteArray bytes = readBytes(path);
    if (path.endsWith(".pdf")) {
        if (!bytes.startsWith("%PDF-"))
            *error = "no PDF";
        return run("pdftotext", {"-enc", "UTF-8", path, "-"}, error) + run("pdfinfo", {path}, error);
    }
    if (path.endsWith(".html"))
        return xmlText(bytes, structure, error);
    if (run("unzip", {"-p", path, "mimetype"}, error) != "application/vnd.oasis.opendocument.text")
        *error += " no OpenDocument text";
    return xmlText(run("unzip", {"-p", path, "content.xml"}, error).toUtf8(), structure, error);
}

// The analysis, the locale, the words the report must hold (blanks collapsed),
// the PDF's page size as pdfinfo gives it (or words no format may hold), and
// whether the structure must be that of the same analysis in plain letters.
using FileRow = std::tuple<Analysis, QLocale, QStringList, QString, bool>;

QStringList pumpWords()
{
    QStringList words{"Pump P-101 failed during the night shift", "Plant North", "jmeyer@example.org", "Pump.rca.xml",
                      "2026-03-04 14:05", "2026-03-05 09:30",
                      // the summary, the chains and the groups with their counts and causes
                      "Blocks 7", "Causes (blocks without children) 4", "Impacts (blocks without a parent) 1",
                      "Flush valve shut \u2192 Seal ran dry \u2192 Pump P-101 failed",
                      "No alarm rationalisation \u2192 Alarm ignored \u2192 Pump P-101 failed",
                      "Physical Resources 1 None", "Information 2 Flush valve shut Handover log unread",
                      "Motives 1 None", "Wellness/Capacity 1 No alarm rationalisation", "No category 1 None",
                      "Societal Impacts 1 Night shift short-staffed", "Technology 2 Night shift short-staffed",
                      "Science and Human Factors 1 None", "Science, Technology and Human Factors 1",
                      "Category Motives Notes classification Science and Human Factors Parent "
                      "Pump P-101 failed"};
    for (const BlockRow &s : kPump)
        words << s.caption << s.notes.split("\r\n", Qt::SkipEmptyParts);
    return words;
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Counts, reading order, chains (cause first, '*' where a loop ends the walk)
    // and the groups that hold blocks, with their causes.
    void content_data()
    {
        addRows<ContentRow>({
            {"a pump failure",
             {kPump, "7 blocks, 4 causes, 1 impacts, 4 chains, 0 unrooted | order "
                     "Seal ran dry Flush valve shut Pump "
                     "P-101 failed Night shift short-staffed Alarm ignored No "
                     "alarm rationalisation Handover log unread | "
                     "Flush valve shut>Seal ran dry>Pump P-101 failed; Night shift "
                     "short-staffed>Seal ran dry>Pump P-101 "
                     "failed; No alarm rationalisation>Alarm ignored>Pump P-101 "
                     "failed; Handover log unread>Alarm "
                     "ignored>Pump P-101 failed | Physical Resources 1 []; "
                     "Information 2 [Flush valve shut Handover log "
                     "unread]; Motives 1 []; Wellness/Capacity 1 [No alarm "
                     "rationalisation]; No category 1 []; Societal "
                     "Impacts 1 [Night shift short-staffed] | Technology 2 [Night "
                     "shift short-staffed]; Science and "
                     "Technology 1 [Flush valve shut]; Science and Human Factors 1 "
                     "[]; Science, Technology and Human "
                     "Factors 1 [No alarm rationalisation]; No notes "
                     "classification 2 [Handover log unread]"}},
            {"impacts and causes by position, a row within half a box",
             {{{"P", 0, 20}, {"Q", 0, -20}, {"R", 20, -16, 2}, {"S", 14, -20, 2}, {"T", 20, 25, 1}},
              "5 blocks, 3 causes, 2 impacts, 3 chains, 0 unrooted | order Q S R P "
              "T | S>Q; R>Q; T>P | No "
              "category 5 [S R T] | No notes classification 5 [S R T]"}},
            {"a loop of parent links, walked once",
             {{{"A", 0, 0, 2}, {"B", 15, 0, 1}, {"C", 30, 0, 2}, {"D", 45, 0}},
              "4 blocks, 2 causes, 1 impacts, 1 chains, 3 unrooted | order A B C D "
              "| D; C>B>A* | No category 4 "
              "[C D] | No notes classification 4 [C D]"}},
            {"parents that are no block",
             {{{"A", 0, 0, 2}, {"free", 0, 0, 0, "", "", 0}, {"C", 15, 0, 3}, {"D", 30, 0, 99}},
              "3 blocks, 3 causes, 3 impacts, 3 chains, 0 unrooted | order A C D | "
              "A; C; D | No category 3 [A C D] "
              "| No notes classification 3 [A C D]"}},
        });
    }
    void content()
    {
        QFETCH(ContentRow, row);
        QCOMPARE(describe(tableOf(row.first)), row.second);
    }

    // Each format holds every caption, notes line, count and cause; markup in the
    // texts stays text and leaves the structure as plain letters make it; an
    // empty analysis says so.
    void files_data()
    {
        const QStringList hostile{"]]><h1>&amp;</h1> \"quoted\" 'single'",
                                  "<script>@example.org",
                                  "</td><td>",
                                  "<script>alert(1)</script>",
                                  "</td></tr></table>",
                                  "&amp; ]]> <![CDATA[x]]>",
                                  "]]>&amp;</p>",
                                  "</li></ul><li> \u2192 ]]>&amp;</p> \u2192 <script>alert(1)</script>",
                                  "<category/> 1 None",
                                  "No category 1 </li></ul><li>",
                                  "<b>bold</b>"};
        const QStringList empty{"Empty analysis", "This analysis has no blocks"};
        Analysis nothing;
        nothing.description = "Empty analysis";
        const QLocale us(QLocale::English, QLocale::UnitedStates), de(QLocale::German, QLocale::Germany);
        QTest::addColumn<QString>("ending");
        QTest::addColumn<FileRow>("row");
        for (const QString ending : {"pdf", "html", "odt"}) {
            QTest::addRow("%s, a pump failure, Letter", qPrintable(ending))
                << ending << FileRow{pumpAnalysis(), us, pumpWords(), "612 x 792", false};
            QTest::addRow("%s, hostile texts, A4", qPrintable(ending))
                << ending << FileRow{hostileAnalysis(false), de, hostile, "595 x 842", true};
            QTest::addRow("%s, empty", qPrintable(ending))
                << ending << FileRow{nothing, de, empty, "Every block", false};
        }
    }
    void files()
    {
        QFETCH(QString, ending);
        QFETCH(FileRow, row);
        const auto [analysis, locale, words, paper, againstTame] = row;
        QTemporaryDir dir;
        const QString path = dir.filePath("report." + ending);
        const IoResult written = writeReport(path, inputFor(analysis, locale));
        QVERIFY2(written.ok, qPrintable(written.reason));
        QString error;
        QStringList structure;
        const QString text = collapsed(readBack(path, &structure, &error));
        QVERIFY2(error.isEmpty(), qPrintable(error));
        for (const QString &word : words)
            QVERIFY2(text.contains(collapsed(word)), qPrintable("missing: " + word + "\nin: " + text.left(3000)));
        // The paper size (pdfinfo), or what an empty report leaves out.
        QCOMPARE(text.contains(paper), ending == "pdf" && paper.contains(" x "));
        if (againstTame && ending != "pdf") {
            QStringList tameStructure;
            const QString tamePath = dir.filePath("tame." + ending);
            QVERIFY(writeReport(tamePath, inputFor(hostileAnalysis(true), locale)).ok);
            readBack(tamePath, &tameStructure, &error);
            QCOMPARE(structure, tameStructure);
        }
    }

    // A report that cannot be written says why and names the file; what was there
    // stays, and nothing is left beside it.
    void badPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no format ending") << "kept.rca.xml"
                                          << "The name must end in .pdf, .html or .odt";
        QTest::newRow("a missing folder") << "missing/report.pdf"
                                          << "The folder does not exist.";
        QTest::newRow("under a file") << "kept.rca.xml/report.html"
                                      << "Part of the path is a file, not a folder.";
        QTest::newRow("a folder in the way") << "folder.odt"
                                             << "A folder of that name is in the way.";
    }
    void badPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("kept.rca.xml"), "old") && QDir(dir.path()).mkdir("folder.odt"));
        const Analysis analysis = pumpAnalysis();
        const IoResult written = writeReport(dir.filePath(name), inputFor(analysis));
        QVERIFY(!written.ok);
        const QString message = reportFailureMessage(dir.filePath(name), written.reason);
        QVERIFY2(message.contains(reason) && message.contains(QDir::toNativeSeparators(dir.filePath(name))),
                 qPrintable(message));
        QCOMPARE(readBytes(dir.filePath("kept.rca.xml")), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                 QStringList({"folder.odt", "kept.rca.xml"}));
    }

    // A name's ending chooses the format whatever its letter case; any other ending none.
    void endings()
    {
        QStringList seen;
        for (const QString name : {"a.PDF", "b.Html", "c.odt", "d.odt.bak", "e", "f.rca.xml"}) {
            const std::optional<ReportFormat> format = reportFormatFor(name);
            seen << (format ? QString::number(int(*format)) : "-");
        }
        QCOMPARE(seen, QStringList({"0", "1", "2", "-", "-", "-"}));
    }
};

TESSIK_TEST(ReportTest)
#include "report_test.moc"
