// What a user may throw at Tessik through the window, and every way work used to get lost: the
// gesture, then the messages shown, the title, the table, and every file that was there left
// byte for byte as it was. The window has Pump.rca.xml open (three blocks) when the gesture starts.
#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "support/test_main.h"
#include "support/window.h"

using namespace tessik;
using namespace tessik::test;

namespace {

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
const Step strayPresses = [](WindowDriver &d) {
    QWidget *diagram = d.control("picDiagram");
    QTest::mouseClick(diagram, Qt::BackButton, {}, diagram->contentsRect().center());
    QTest::mouseClick(diagram, Qt::LeftButton, {}, QPoint(1, 1));
};
const Step firstEntry = [](WindowDriver &d) { d.clickEntry(0); }; // of the search's result list
// The disk fills up while the step runs.
Step onFullDisk(const Step &step)
{
    return [=](WindowDriver &d) {
        const FullDisk full;
        step(d);
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
} // namespace

class BadInputsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(".")); } // Qt's own complaints are faults too

    void nothingIsLost_data()
    {
        QTest::addColumn<Gesture>("row");
        Analysis five = analysisWith(5); // each block under the one before it
        for (int i = 2; i <= 5; ++i)
            five.table.link(i, std::int16_t(i - 1));
        const QByteArray good = writeAnalysis(five), flood = QByteArray(good).replace("Pump failure", "Flood");
        const qsizetype second = good.indexOf("  <block>", good.indexOf("  <block>") + 1),
                        third = good.indexOf("  <block>", second + 1);
        const QString marked = "Tessik: Pump *", clean = "Tessik: Pump";
        // The window's close command asks as Quit does; typing in the open editor counts.
        addGesture("close, unsaved, answered No", {}, {type("txtOffice", " side"), closeWindow}, 1, marked, 3,
                   {"unsaved running", "North side", "Yes or No, No at Enter: You have unsaved edits."});
        // Enter gives the default answer, which keeps the work.
        for (const char *button : {"btnNew", "btnQuit", "btnLoadXML"})
            addGesture(button, {}, {type("txtOffice", " side"), press(button)}, 1, marked, 3,
                       {"unsaved running", "North side"});
        // Once Quit has been answered, the desktop's close that follows asks nothing more.
        const Step yes = [](WindowDriver &d) { d.platform.messageAnswers.enqueue(MessageAnswer::Yes); };
        addGesture("Quit answered Yes, then closed", {},
                   {type("txtOffice", " side"), yes, press("btnQuit"), closeWindow}, 1, marked, 3, {"ended"});
        addGesture("close while typing in the editor", {}, {at(5, 5), type("txtText", "Still "), closeWindow}, 1, clean,
                   3, {"running", "Still Block 1|"});
        // Typing in the editor is kept when another block opens or a new one is added.
        addGesture("another block opened while typing", {}, {at(5, 5), type("txtNotes", "seal worn"), at(20, 5)}, 0,
                   marked, 3, {"Block 1|seal worn|"});
        addGesture("a block added while typing", {}, {at(35, 5), type("txtText", "Still "), at(50, 25)}, 0, marked, 4,
                   {"Still Block 3|"});
        // and is saved with Ctrl+S from the editor, and is in the copy of the unsaved work that a
        // crash leaves behind.
        addGesture("Ctrl+S while typing in the editor", {},
                   {put("work/Other.rca.xml", good), load("work/Other.rca.xml"), at(5, 5), type("txtText", "Still "),
                    key(Qt::CTRL | Qt::Key_S)},
                   0, "Root Cause Anlysis: Other", 5, {"saved running", "Still Block 1|", "frameControl"});
        // A restored copy differs from its file, and an edit undone leaves it so.
        addGesture("a crash, Enter at the next start, an edit undone", {},
                   {at(5, 5), type("txtText", "Still "), crashOnceCopied("Still Block 1"), drag(5, 5, 6, 6),
                    key(Qt::CTRL | Qt::Key_Z)},
                   1, marked, 3,
                   {"unsaved running", "Still Block 1|", "Yes or No, Yes at Enter: Tessik did not end normally"});
        // A header text longer than a text box takes by default is shown whole.
        Analysis wide = analysisWith(3);
        wide.office = QString(40000, 'o');
        addGesture("an office of 40000 characters", {{"work/Wide.rca.xml", writeAnalysis(wide)}},
                   {load("work/Wide.rca.xml")}, 0, "Tessik: Wide", 3, {wide.office});
        // Characters the code page cannot hold: Save and Save As refuse, naming them.
        addGesture("Save of a Polish place name", {}, {commit("txtOffice", " Łódź"), press("btnSave")}, 1, marked, 3,
                   {"OK: The Root Cause Analysis was not saved.", "The office holds \"Ł\" (U+0141)"});
        addGesture("Save As of an emoji, refused before the dialog", {},
                   {at(5, 5), commit("txtText", "😀 "), press("btnImplement"), press("btnSaveAs")}, 1, marked, 3,
                   {"The caption \"😀 Block 1\" holds \"😀\" (U+1F600)"});
        addGesture("Save of notes named by the block's caption", {},
                   {at(5, 5), commit("txtNotes", "≥ 3 bar"), press("btnImplement"), press("btnSave")}, 1, marked, 3,
                   {"The notes of the block \"Block 1\" hold \"≥\" (U+2265)"});
        addGesture("a folder the code page cannot hold, after a restart", {{"work/Łódź 東京/X.rca.xml", good}},
                   {load("work/Łódź 東京/X.rca.xml"), press("btnQuit"), restart}, 0, "Tessik", 0, {"Łódź 東京/"});
        // A file that is no analysis is refused.
        addGesture("Load of a text file", {{"work/notes.rca.xml", readBytes(dataFile("not_an_analysis.txt"))}},
                   {load("work/notes.rca.xml")}, 1, clean, 3, {"notes.rca.xml"});
        // Refused, it leaves the window as it was, the folder the search and the next start use too.
        addGesture("Load of a text file in another folder",
                   {{"work/other/notes.rca.xml", readBytes(dataFile("not_an_analysis.txt"))}},
                   {load("work/other/notes.rca.xml")}, 1, clean, 3, {});
        // An empty block element no longer ends the list, and a save keeps what follows it.
        addGesture("empty block in the middle, saved",
                   {{"work/Middle.rca.xml", readBytes(dataFile("empty_block_in_middle.rca.xml"))}},
                   {load("work/Middle.rca.xml"), answer("work/Kept.rca.xml"), press("btnSaveAs")}, 1,
                   "Root Cause Anlysis: Kept", 3, {"Block 2: the block element is empty", "After"});
        // A listed file opens only after the question about unsaved edits; one that became a
        // folder says so.
        addGesture("search result opened, unsaved, Enter at the question", {},
                   {type("txtOffice", " side"), put("work/Flood.rca.xml", flood), search("flood"), firstEntry}, 1,
                   marked, 3, {"unsaved running", "North side"});
        addGesture("search result that became a folder", {},
                   {put("work/Flood.rca.xml", flood), search("flood"), put("work/Flood.rca.xml", "folder"), firstEntry},
                   1, clean, 3, {"Flood.rca.xml", "This is a folder"});
        // Damaged files open with what they hold and one message that tells what was mended.
        addGesture(
            "10,000 block elements, then one more added",
            {{"work/a.rca.xml", good.left(third) + good.mid(second, third - second).repeated(10000) + "</analysis>"}},
            {load("work/a.rca.xml"), at(30, -15)}, 2, "Tessik: a", 100, {"Block 2", "already holds 100 blocks"});
        // Every byte value, line breaks, blanks at both ends and markup come back unchanged from the
        // header boxes and from the block editor, opened and closed with OK.
        QByteArray every;
        for (int b = 1; b < 256; ++b)
            every.append(b == '<' ? ' ' : char(b));
        Analysis copy{decode1252("  " + every + "\r\nsecond line  "), " a&b ", "R&D <lab> \"north\"", {}};
        copy.table.setCaption(copy.table.addBlock(5, 5), decode1252(every));
        copy.table.setNotes(1, "bare\nline\rends\r\n");
        addGesture("every byte value loaded and saved", {{"work/Copy.rca.xml", writeAnalysis(copy)}},
                   {load("work/Copy.rca.xml"), at(5, 5), press("btnImplement"), press("btnSave")}, 0,
                   "Root Cause Anlysis: Copy", 1, {"saved running"});
        // Saves and pictures that cannot succeed change nothing.
        addGesture("picture into a path through a file", {{"work/file", "x"}},
                   {answer("work/file/picture.svg"), key(Qt::CTRL | Qt::Key_E)}, 1, clean, 3,
                   {"Part of the path is a file", "work/file/picture.svg"});
        addGesture("report into a path through a file", {{"work/file", "x"}},
                   {answer("work/file/report.html"), key(Qt::CTRL | Qt::Key_R)}, 1, clean, 3,
                   {"The report could not be saved as this file:", "Part of the path is a file"});
        // Presses of other buttons than the three, and on the diagram's sunken border, do nothing.
        addGesture("stray presses", {}, {strayPresses}, 0, clean, 3, {});
        addGesture("save with the description empty", {},
                   {[](WindowDriver &d) { d.setText("txtDescription", ""); }, press("btnSave")}, 1, marked, 3,
                   {"unsaved"});
        // A name chosen without the ending gets it, so Load and the search find the file again.
        addGesture("Save As without the ending", {}, {answer("work/Kept"), press("btnSaveAs")}, 0,
                   "Root Cause Anlysis: Kept", 3, {"work/Kept.rca.xml"});
        // The ending makes the name of a file that is there: the question defaults to No, which keeps it.
        addGesture("Save As without the ending onto a file there, No", {{"work/Kept.rca.xml", "x"}},
                   {answer("work/Kept"), press("btnSaveAs")}, 1, clean, 3, {"Kept.rca.xml"});
        addGesture("save onto a full disk", {}, {type("txtOffice", "!"), onFullDisk(press("btnSave"))}, 1, marked, 3,
                   {"!"});
    }
    void nothingIsLost()
    {
        QFETCH(Gesture, row);
        checkGesture(row);
    }
};

TESSIK_TEST(BadInputsTest)
#include "bad_inputs_test.moc"
