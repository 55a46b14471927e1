// The document on its own, as the window uses it: its history of edits, whether it differs from
// its file and the title that says both, what its recovery copy holds while the block editor has
// typing that OK has not stored, when Save may write over its file without asking, and the names
// chosen in save dialogs.
#include "app/core/chosen_file.h"
#include "app/core/document.h"
#include "app/core/recovery_copies.h"
#include "files/analysis_writer.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QDir>

using namespace tessik;
using namespace tessik::test;

namespace {

// What the copy this document keeps holds; nothing when there is none.
QString copyOf(const TestEnvironment &env)
{
    const QDir folder(env.userFolder() + kRecoveryFolderName);
    return QString::fromUtf8(readBytes(folder.filePath(folder.entryList({"*.analysis"}, QDir::Files).value(0))));
}

// Pump.rca.xml (blocks 1 to 3, 1 under 2) in the test's folder, opened in the document, which
// keeps its copies of unsaved work in the per-user folder, soon or after the program's own delay: its path.
QString openPump(Document &d, const TestEnvironment &env, bool quickCopies = true)
{
    Analysis pump = analysisWith(3);
    pump.table.link(1, 2);
    const QString path = env.path("work/Pump.rca.xml");
    d.keepRecoveryCopies(env.userFolder());
    if (quickCopies)
        d.setRecoveryDelay(kQuickRecoveryDelayMs);
    return writeBytes(path, writeAnalysis(pump)) && d.open(path).ok ? path : QString();
}

using Edit = std::function<void(Document &)>;
// What happens after the typing, what the copy then holds (empty: there is none) and what it may not hold.
using Typing = std::tuple<Edit, QString, QString>;
// What becomes of the file after it was opened, the name saved to, and whether Save asks first.
using Overwrite = std::tuple<std::function<void(const QString &)>, QString, bool>;

const QString kTyped = "Seal worn ≥ 3 mm";

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each edit of Pump.rca.xml (blocks 1 to 3, 1 under 2) is one step (the window's undo test
    // takes every other kind of edit through the same history): it marks the document
    // and the title; undone, the document is its file again with the clean title and no copy of
    // unsaved work; redone, it is the edited one. A gesture that changes nothing adds no step. A
    // save is the new clean state: an edit after it is a step of its own, and undone past it the
    // document differs from its file.
    void everyEditIsOneStepFromTheCleanState_data()
    {
        test::addRows<Edit>({
            {"add a cause", [](Document &d) { d.addCause(50, 5, 2); }},
            {"delete, unlinking the child in the first slot", [](Document &d) { d.deleteBlock(2); }},
            {"link the block in the first slot", [](Document &d) { d.linkBlocks(1, 3); }},
            {"notes", [](Document &d) { d.setNotes(1, "Science"); }},
        });
    }
    void everyEditIsOneStepFromTheCleanState()
    {
        QFETCH(Edit, row);
        TestEnvironment env;
        Document d;
        const QString pump = openPump(d, env);
        const QByteArray loaded = writeAnalysis(d.analysis());
        row(d);
        const QByteArray edited = writeAnalysis(d.analysis());
        QVERIFY2(edited != loaded && d.isModified() && d.history().count() == 1, "the edit is not one step");
        QCOMPARE(d.title(), QString("Tessik: Pump *"));
        QTRY_VERIFY2(!copyOf(env).isEmpty(), "the edit has no copy of unsaved work");
        d.undo();
        QCOMPARE(writeAnalysis(d.analysis()), loaded);
        QVERIFY2(!d.isModified(), "undone to the file, the document still differs from it");
        QTRY_VERIFY2(copyOf(env).isEmpty(), "undone to the file, a copy of unsaved work is kept");
        QCOMPARE(d.title(), QString("Tessik: Pump"));
        d.linkBlocks(0, 1); // no such slot: nothing to do, and the redo stays
        d.redo();
        QCOMPARE(writeAnalysis(d.analysis()), edited);
        d.moveBlocks({{3, d.table().block(3).x, d.table().block(3).y}}); // gestures that change nothing
        d.setCategory(3, d.table().block(3).category);
        QVERIFY2(d.history().count() == 1, "a gesture that changed nothing is a step");
        QVERIFY(d.save(pump).ok);
        d.setHeader(HeaderField::Office, "x"); // marks the title it finds
        QCOMPARE(d.title(), QString("Root Cause Anlysis: Pump *"));
        d.undo();
        QVERIFY2(!d.isModified(), "undone to the save, the document still differs from its file");
        d.undo();
        QVERIFY2(d.isModified(), "undone past the save, the document is taken for its file");
        d.redo();
        QCOMPARE(d.title(), QString("Root Cause Anlysis: Pump"));
    }

    // Opening a file puts the edited analysis aside: the document is the file, with no history.
    void openingAFileLeavesNoEdits()
    {
        TestEnvironment env;
        Document d;
        const QString pump = openPump(d, env);
        d.addBlock(50, 5);
        QVERIFY(d.open(pump).ok);
        QVERIFY2(!d.isModified() && d.history().count() == 0, "the opened file is taken for an edited analysis");
    }

    // A copy left behind that cannot be read back is let go at once, where it is, not held for
    // the rest of the run: a program started now is offered it again.
    void unreadableCopyIsLetGo()
    {
        TestEnvironment env;
        const QString copy = env.userFolder() + kRecoveryFolderName + "/000000000000001-1.analysis";
        QVERIFY(writeBytes(copy, "") && QFile::resize(copy, kMaxRecoveryCopyBytes + 1));
        Document d;
        d.keepRecoveryCopies(env.userFolder());
        QCOMPARE(d.takeRecoveryCopy().copyPath, copy);
        QVERIFY2(!d.restoreRecoveryCopy().ok, "a copy too large to read was restored");
        const std::unique_ptr<RecoveryOrphan> offered = RecoveryCopies(env.userFolder()).takeOrphan();
        QVERIFY2(offered && offered->copyPath == copy, "the copy is still held, or gone");
    }

    // Typing in one header box is one step however many keys it took; the next box's typing is
    // a step of its own, undone on its own.
    void headerTypingIsAStepABox()
    {
        TestEnvironment env;
        Document d;
        openPump(d, env);
        d.setHeader(HeaderField::Office, "S");
        d.setHeader(HeaderField::Office, "South");
        d.setHeader(HeaderField::Email, "jm");
        QCOMPARE(d.history().count(), 2);
        d.undo();
        QCOMPARE(QStringList({d.analysis().office, d.analysis().email}), QStringList({"South", "op"}));
    }

    // A full table takes no block and no cause: nothing is added, nothing is linked, and the
    // history gets no step that would undo nothing.
    void fullTableTakesNoNewBlock()
    {
        TestEnvironment env;
        Document d;
        const QString path = env.path("work/Full.rca.xml");
        QVERIFY(writeBytes(path, writeAnalysis(analysisWith(kMaxBlocks))) && d.open(path).ok);
        const QByteArray loaded = writeAnalysis(d.analysis());
        QCOMPARE(d.addBlock(50, 50), 0);
        QCOMPARE(d.addCause(50, 50, 2), 0);
        QCOMPARE(writeAnalysis(d.analysis()), loaded);
        QVERIFY2(d.history().count() == 0 && !d.isModified(), "a step that adds nothing is in the history");
    }

    // The first block of a new analysis, added and undone, leaves no trace: saved, the file has
    // no block, not a free slot where the block was.
    void firstBlockUndoneLeavesNoSlot()
    {
        Document d;
        const QByteArray empty = writeAnalysis(d.analysis());
        QVERIFY(d.addBlock(50, 5) != 0);
        d.undo();
        QCOMPARE(writeAnalysis(d.analysis()), empty);
    }

    // A deleted block's children stay, unlinked, so that a block added later in its slot is
    // no parent of theirs; undone, they are its children again.
    void deletedBlocksChildrenStayUnlinked()
    {
        TestEnvironment env;
        Document d;
        QVERIFY(!openPump(d, env).isEmpty());
        d.deleteBlock(2);
        QVERIFY2(d.table().isLive(1) && d.table().block(1).parent == 0, "the deleted block's child still points to it");
        d.undo();
        QCOMPARE(d.table().children(2), std::vector<int>{1});
    }

    // Typing in the open editor of a freshly opened analysis is in the copy as OK would store
    // it, with characters the file's code page lacks; what undoes the typing takes it out again,
    // and leaves the other unsaved edits in.
    void recoveryCopyHoldsTheTyping_data()
    {
        test::addRows<Typing>({
            {"typed back to what is stored", {[](Document &d) { d.setEditorTyping(2, "Block 2", ""); }, "", ""}},
            {"the editor closed without OK", {[](Document &d) { d.clearEditorTyping(); }, "", ""}},
            {"the editor closed without OK after another edit",
             {[](Document &d) { d.commitBlock(3, "Seal", ""), d.clearEditorTyping(); }, "<text>Seal</text>", kTyped}},
            {"the block deleted", {[](Document &d) { d.deleteBlock(2); }, "<active> 0 ", kTyped}},
            {"another file opened",
             {[](Document &d) { d.open(QFileInfo(d.currentFile()).dir().filePath("Other.rca.xml")); }, "", ""}},
            {"a new analysis started", {[](Document &d) { d.newAnalysis(); }, "", ""}},
            {"saved without it", {[](Document &d) { d.save(d.currentFile()); }, kTyped, ""}},
        });
    }
    void recoveryCopyHoldsTheTyping()
    {
        QFETCH(Typing, row);
        const auto [then, holds, lacks] = row;
        TestEnvironment env;
        Document d;
        QVERIFY(writeBytes(env.path("work/Other.rca.xml"), writeAnalysis(analysisWith(1))) &&
                !openPump(d, env).isEmpty());
        d.setEditorTyping(2, kTyped, "Pump 泵");
        QTRY_VERIFY2(copyOf(env).contains(kTyped + "</text>") && copyOf(env).contains("<notes>Pump 泵</notes>"),
                     "the typing is not in the copy as OK would store it");
        then(d);
        QTRY_VERIFY2(holds.isEmpty() ? copyOf(env).isEmpty() : copyOf(env).contains(holds), qPrintable(copyOf(env)));
        QVERIFY2(lacks.isEmpty() || !copyOf(env).contains(lacks), qPrintable(copyOf(env)));
        QVERIFY2(!readBytes(env.path("work/Pump.rca.xml")).contains("Seal worn"), "typing reached the file");
    }

    // The copy of unsaved work is written once the editing pauses, not at every keystroke: each
    // write goes to the disk in full.
    void copyWaitsForAPauseInTheEditing()
    {
        TestEnvironment env;
        Document d;
        QVERIFY(!openPump(d, env, false).isEmpty());
        d.commitBlock(3, "Seal", "");
        QTest::qWait(200);
        QVERIFY2(copyOf(env).isEmpty(), "the copy was written while the editing went on");
        QTRY_VERIFY2_WITH_TIMEOUT(copyOf(env).contains("<text>Seal</text>"), "the copy never came", 10000);
    }

    // The folder of the copies, taken away while the program runs, is made again for the next copy.
    void copyFolderTakenAwayIsMadeAgain()
    {
        TestEnvironment env;
        Document d;
        QVERIFY(!openPump(d, env).isEmpty());
        QVERIFY(QDir(env.userFolder() + kRecoveryFolderName).removeRecursively());
        d.commitBlock(3, "Seal", "");
        QTRY_VERIFY2(copyOf(env).contains("<text>Seal</text>"), "no copy after its folder was taken away");
    }

    // Save asks before it writes over its file when another program has put other bytes there
    // since this one read or wrote it; not for a file left alone or gone, or another file chosen
    // with Save As.
    void saveAsksOnlyWhenTheFileChanged_data()
    {
        const auto put = [](const QString &path) {
            QVERIFY(writeBytes(path, readBytes(path).replace("Block 3", "Block 9")));
        };
        test::addRows<Overwrite>({
            {"untouched", {[](const QString &) {}, "Pump.rca.xml", false}},
            {"other bytes of the same size", {put, "Pump.rca.xml", true}},
            {"longer",
             {[](const QString &path) { QVERIFY(writeBytes(path, readBytes(path) + "\r\n")); }, "Pump.rca.xml", true}},
            {"removed", {[](const QString &path) { QVERIFY(QFile::remove(path)); }, "Pump.rca.xml", false}},
            {"changed, but saved as another file", {put, "Other.rca.xml", false}},
        });
    }
    void saveAsksOnlyWhenTheFileChanged()
    {
        QFETCH(Overwrite, row);
        const auto [change, savedAs, asks] = row;
        TestEnvironment env;
        Document d;
        const QString pump = openPump(d, env), target = env.path("work/" + savedAs);
        change(pump);
        const QString question = d.overwriteQuestion(target);
        QVERIFY2(question.isEmpty() != asks && (!asks || question.contains(QDir::toNativeSeparators(pump))),
                 qPrintable("the question: " + question));
        // Once written, the file is this program's again.
        d.setHeader(HeaderField::Office, "South");
        QVERIFY(d.save(target).ok && d.overwriteQuestion(target).isEmpty());
    }

    // A name chosen to save under ends in an ending the dialog offers: the chosen type's when it
    // has none. A picture keeps an ending of another kind, for the writer to refuse.
    void namesChosenToSaveUnder_data() { addRowsFrom("names_chosen.tsv"); }
    void namesChosenToSaveUnder()
    {
        QFETCH(QStringList, row);
        const QString name = row[0], saved = row[3];
        const int type = row[1].toInt();
        const bool picture = row[2] == "picture";
        TestEnvironment env;
        const QString filter = picture ? "PDF|*.pdf|SVG|*.svg|PNG|*.png" : "Analysis|*.rca.xml";
        env.platform.fileAnswers << env.path("work/" + name) << "/a/Pump";
        env.platform.fileTypeAnswers << type;
        const QString path = chooseFileWithEnding(env.platform, {FileDialogMode::Save, filter, "T", "x", "/"},
                                                  picture ? ForeignEnding::Kept : ForeignEnding::Completed);
        QCOMPARE(path, env.path("work/" + saved));
        // The dialog of one type proposes its ending itself.
        QCOMPARE(env.platform.fileRequests.value(0).defaultSuffix, QString(picture ? "" : ".rca.xml"));
        // A name to open is the dialog's.
        QCOMPARE(chooseFileWithEnding(env.platform, {FileDialogMode::Open, filter, "T", "x", "/"}), QString("/a/Pump"));
    }
};

TESSIK_TEST(DocumentTest)
#include "document_test.moc"
