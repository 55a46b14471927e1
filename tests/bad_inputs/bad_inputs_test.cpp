// What a user may throw at Tessik through the window, and every way work used to get lost: the
// gesture, then the messages shown, the title, the table, and every file that was there left
// byte for byte as it was. The window has Pump.rca.xml open (three blocks) when the gesture starts.
#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QInputMethodEvent>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>

using namespace tessik;
using namespace tessik::test;

namespace {

// Files made before the start, the gesture, the messages shown, the title and the blocks after it, and what the window
// and the messages must show (nothing: the document is exactly as it was).
using Case = std::tuple<QMap<QString, QByteArray>, QList<Step>, int, QString, int, QStringList>;
void row(const char *name, const QMap<QString, QByteArray> &files, const QList<Step> &gesture, int messages,
         const QString &title, int blocks, const QStringList &shows)
{
    QTest::newRow(name) << Case{files, gesture, messages, title, blocks, shows};
}

using Prints = QMap<QString, QByteArray>;
Prints fingerprints(const QString &root)
{
    Prints prints;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString file = it.next();
        if (!it.fileInfo().isSymLink() && it.fileInfo().size() <= kMaxAnalysisFileBytes)
            prints.insert(file, QCryptographicHash::hash(readBytes(file), QCryptographicHash::Sha256));
    }
    return prints;
}

// Five blocks, each under the one before it.
QByteArray goodFile(const QList<QByteArray> &replacements = {})
{
    Analysis a = analysisWith(5);
    for (int i = 2; i <= 5; ++i)
        a.table.link(i, std::int16_t(i - 1));
    QByteArray bytes = writeAnalysis(a);
    for (qsizetype i = 0; i + 1 < replacements.size(); i += 2)
        bytes.replace(replacements[i], replacements[i + 1]);
    return bytes;
}

const Step closeWindow = [](WindowDriver &d) { d.closeWindow(); };
// The run ends without its normal end once its copy of the unsaved work holds the text; the next
// start offers the copy.
Step crashOnceCopied(const QString &text)
{
    return [=](WindowDriver &d) {
        const QDir copies(d.userFolder() + "Recovery");
        QTRY_VERIFY(!copies.entryList({"*.analysis"}).isEmpty() &&
                    readBytes(copies.filePath(copies.entryList({"*.analysis"})[0])).contains(text.toUtf8()));
        d.discardWindow();
        d.start();
        d.offerRecovery();
    };
}
const Step restart = [](WindowDriver &d) { d.start(); };
Step commit(const QString &box, const QString &text)
{
    return [=](WindowDriver &d) { d.commitText(box, text); };
}
// The disk fills up: a file may grow no further than 100 bytes while the step runs.
Step onFullDisk(const Step &step)
{
    return [=](WindowDriver &d) {
        rlimit limit{}, unlimited{};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, SIG_IGN);
        limit = {100, unlimited.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
        step(d);
        setrlimit(RLIMIT_FSIZE, &unlimited);
    };
}
// A file made while the window runs; "folder": a folder in the place of the file there.
Step put(const QString &relative, const QByteArray &bytes)
{
    return [=](WindowDriver &d) {
        QVERIFY(bytes == "folder" ? QFile::remove(d.path(relative)) && QDir().mkpath(d.path(relative))
                                  : writeBytes(d.path(relative), bytes));
    };
}
// A file whose name is not valid in the system's encoding: Qt cannot name it.
const Step nameNotText = [](WindowDriver &d) {
    const QByteArray bytes = goodFile({"Block 2", "Milk frother"});
    std::FILE *file = std::fopen(QByteArray(QFile::encodeName(d.path("work/")) + "Caf\xE9.rca.xml").constData(), "wb");
    QVERIFY(file && std::fwrite(bytes.data(), 1, size_t(bytes.size()), file) == size_t(bytes.size()));
    std::fclose(file);
};

} // namespace

class BadInputsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(".")); } // Qt's own complaints are faults too

    void nothingIsLost_data()
    {
        QTest::addColumn<Case>("row");
        const QByteArray good = goodFile();
        const qsizetype second = good.indexOf("  <block>", good.indexOf("  <block>") + 1),
                        third = good.indexOf("  <block>", second + 1);
        const QString marked = "Tessik: Pump *", clean = "Tessik: Pump";
        // The window's close command asks as Quit does; typing in the open editor counts.
        row("close, unsaved, answered No", {}, {type("txtOffice", " side"), closeWindow}, 1, marked, 3,
            {"unsaved running", "North side"});
        // Enter gives the default answer, which keeps the work.
        row("New, unsaved, Enter at the question", {}, {type("txtOffice", " side"), press("btnNew")}, 1, marked, 3,
            {"unsaved running", "North side"});
        row("close while typing in the editor", {}, {at(5, 5), type("txtText", "Still "), closeWindow}, 1, clean, 3,
            {"running", "Still Block 1|"});
        // Typing in the editor is kept when another block opens or a new one is added.
        row("another block opened while typing", {}, {at(5, 5), type("txtNotes", "seal worn"), at(20, 5)}, 0, marked, 3,
            {"Block 1|seal worn|"});
        row("a block added while typing", {}, {at(35, 5), type("txtText", "Still "), at(50, 25)}, 0, marked, 4,
            {"Still Block 3|"});
        // and is in the copy of the unsaved work that a crash leaves behind.
        row("a crash while typing in the editor, Enter at the next start", {},
            {at(5, 5), type("txtText", "Still "), crashOnceCopied("Still Block 1")}, 1, marked, 3,
            {"unsaved running", "Still Block 1|"});
        // Characters the code page cannot hold: Save and Save As refuse, naming them.
        row("Save of a Polish place name", {}, {commit("txtOffice", " Łódź"), press("btnSave")}, 1, marked, 3,
            {"The office holds \"Ł\" (U+0141)"});
        row("Save As of an emoji, refused before the dialog", {},
            {at(5, 5), commit("txtText", "😀 "), press("btnImplement"), press("btnSaveAs")}, 1, marked, 3,
            {"The caption \"😀 Block 1\" holds \"😀\" (U+1F600)"});
        row("Save of notes named by the block's caption", {},
            {at(5, 5), commit("txtNotes", "≥ 3 bar"), press("btnImplement"), press("btnSave")}, 1, marked, 3,
            {"The notes of the block \"Block 1\" hold \"≥\" (U+2265)"});
        row("a folder the code page cannot hold, after a restart", {{"work/Łódź 東京/X.rca.xml", good}},
            {load("work/Łódź 東京/X.rca.xml"), press("btnQuit"), restart}, 0, "Tessik", 0, {"Łódź 東京/"});
        // A file that is no analysis is refused.
        row("Load of a text file", {{"work/notes.rca.xml", readBytes(dataFile("not_an_analysis.txt"))}},
            {load("work/notes.rca.xml")}, 1, clean, 3, {"notes.rca.xml"});
        // An empty block element no longer ends the list, and a save keeps what follows it.
        row("empty block in the middle, saved",
            {{"work/Middle.rca.xml", readBytes(dataFile("empty_block_in_middle.rca.xml"))}},
            {load("work/Middle.rca.xml"), answer("work/Kept.rca.xml"), press("btnSaveAs")}, 1,
            "Root Cause Anlysis: Kept", 3, {"Block 2: the block element is empty", "After"});
        // A listed file whose name is no valid text opens; one that became a folder says so.
        row("search result whose name is no valid text", {},
            {nameNotText, search("frother"), [](WindowDriver &d) { d.clickEntry(0); }}, 0, "Tessik: Caf\ufffd", 5,
            {"Milk frother"});
        row("search result that became a folder", {},
            {put("work/Flood.rca.xml", goodFile({"Pump failure", "Flood"})), search("flood"),
             put("work/Flood.rca.xml", "folder"), [](WindowDriver &d) { d.clickEntry(0); }},
            1, clean, 3, {"Flood.rca.xml", "This is a folder"});
        // Damaged files open with what they hold and one message that tells what was mended.
        row("10,000 block elements, then one more added",
            {{"work/a.rca.xml", good.left(third) + good.mid(second, third - second).repeated(10000) + "</analysis>"}},
            {load("work/a.rca.xml"), at(30, -15)}, 2, "Tessik: a", 100, {"Block 2", "already holds 100 blocks"});
        // Every byte value, line breaks, blanks at both ends and markup come back from the header
        // boxes and the block texts unchanged.
        QByteArray every;
        for (int b = 1; b < 256; ++b)
            every.append(b == '<' ? ' ' : char(b));
        Analysis copy{decode1252("  " + every + "\r\nsecond line  "), " a&b ", "R&D <lab> \"north\"", {}};
        copy.table.setCaption(copy.table.addBlock(5, 5), decode1252(every));
        copy.table.setNotes(1, "bare\nline\rends\r\n");
        row("every byte value loaded and saved", {{"work/Copy.rca.xml", writeAnalysis(copy)}},
            {load("work/Copy.rca.xml"), press("btnSave")}, 0, "Root Cause Anlysis: Copy", 1, {"saved running"});
        // Files that cannot be read, and saves that cannot succeed, change nothing.
        row("file that vanished after it was chosen", {}, {load("work/vanished.rca.xml")}, 1, clean, 3, {});
        row("save with the description empty", {},
            {[](WindowDriver &d) { d.setText("txtDescription", ""); }, press("btnSave")}, 1, marked, 3, {"unsaved"});
        row("save into a folder that does not exist", {}, {answer("work/missing/A.rca.xml"), press("btnSaveAs")}, 1,
            clean, 3, {});
        // A name chosen without the ending gets it, so Load and the search find the file again;
        // one that names a file that is there asks first, and Enter keeps that file.
        row("Save As without the ending", {}, {answer("work/Kept"), press("btnSaveAs")}, 0, "Root Cause Anlysis: Kept",
            3, {"work/Kept.rca.xml"});
        row("Save As without the ending onto a file that is there", {{"work/Other.rca.xml", good}},
            {answer("work/Other"), press("btnSaveAs")}, 1, clean, 3, {});
        row("save onto a full disk", {}, {type("txtOffice", "!"), onFullDisk(press("btnSave"))}, 1, marked, 3, {"!"});
    }
    void nothingIsLost()
    {
        QFETCH(Case, row);
        const auto [files, gesture, messages, title, blocks, shows] = row;
        WindowDriver d;
        for (const auto &[file, bytes] : files.asKeyValueRange())
            QVERIFY(writeBytes(d.path(file), bytes));
        Prints prints = fingerprints(d.root.path());
        d.start();
        Analysis pump = analysisWith(3);
        const Block &third = pump.table.block(3);
        pump.table.move(3, third.x + 0.5f, third.y); // a fraction, written with the decimal separator
        const QString file = d.load(pump, "Pump.rca.xml");
        prints.insert(file, fingerprints(d.path("work")).value(file));
        const QStringList before = d.summary();
        run(d, gesture);
        QCOMPARE(d.platform.messages.size(), messages);
        QCOMPARE(d.document().table().usedSlots(), blocks);
        QCOMPARE(d.title(), title);
        QCOMPARE(d.platform.fileRequests.size(), d.fileAnswersGiven); // every dialog expected, no other
        const QString seen =
            (d.summary() << d.panel() << d.text("txtText") + '|' + d.text("txtNotes") + '|' << d.platform.messages)
                .join('\n');
        for (const QString &part : shows)
            QVERIFY2(seen.contains(part), qPrintable(part + " is not in\n" + seen));
        if (shows.isEmpty())
            QCOMPARE(d.summary(), before);
        QVERIFY(d.diagramShowsTable());
        // What the window shows as saved is what its file holds.
        const QString current = d.document().currentFile();
        const ReadOutcome back = current.isEmpty() ? ReadOutcome() : readAnalysisFile(current);
        const Analysis &a = back.analysis;
        if (!d.document().isModified() && back.ok)
            QCOMPARE(analysisLines(a.description, a.email, a.office, a.table), d.summary().mid(4));
        const Prints now = fingerprints(d.root.path());
        for (const auto &[path, print] : prints.asKeyValueRange())
            QVERIFY2(now.value(path) == print, qPrintable(path));
        d.discardWindow();
        std::filesystem::remove_all(d.root.path().toStdString()); // names Qt cannot give too
    }
};

TESSIK_TEST(BadInputsTest)
#include "bad_inputs_test.moc"
