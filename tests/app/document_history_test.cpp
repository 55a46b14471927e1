// The document on its own, as the window uses it: its history of edits, whether it differs from
// its file, and the title that says both.
#include "app/core/document.h"
#include "files/analysis_writer.h"
#include "support/test_main.h"
#include "support/window.h"

using namespace tessik;
using namespace tessik::test;

namespace {

using Edit = std::function<void(Document &)>;
// An edit of Pump.rca.xml (blocks 1 to 3) and the title it leaves.
using Row = std::tuple<Edit, QString>;

} // namespace

class DocumentHistoryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each edit is one step: it marks the document and the title; undone, the document is its
    // file again with the clean title; redone, it is the edited one.
    void everyEditUndoesToTheFile_data()
    {
        const QString diagram = "Tessik: Pump *";
        test::addRows<Row>({
            {"add", {[](Document &d) { d.addBlock(50, 5); }, diagram}},
            {"caption and notes", {[](Document &d) { d.commitBlock(2, "Seal", "worn"); }, diagram}},
            {"delete", {[](Document &d) { d.deleteBlock(1); }, diagram}},
            {"move",
             {[](Document &d) {
                  d.moveBlocks({{3, 7, 9}});
              },
              diagram}},
            {"link", {[](Document &d) { d.linkBlocks(3, 1); }, diagram}},
            {"category", {[](Document &d) { d.setCategory(1, "Motives"); }, diagram}},
            {"notes", {[](Document &d) { d.setNotes(1, "Science"); }, diagram}},
            {"header", {[](Document &d) { d.setHeader(HeaderField::Office, "South"); }, "Tessik: Pump *"}},
        });
    }
    void everyEditUndoesToTheFile()
    {
        QFETCH(Row, row);
        const auto [edit, title] = row;
        TestEnvironment env;
        Analysis pump = analysisWith(3);
        pump.table.link(2, 1);
        QVERIFY(writeBytes(env.path("work/Pump.rca.xml"), writeAnalysis(pump)));
        Document d;
        QVERIFY(d.open(env.path("work/Pump.rca.xml")).ok);
        const QByteArray loaded = writeAnalysis(d.analysis());
        edit(d);
        const QByteArray edited = writeAnalysis(d.analysis());
        QVERIFY2(edited != loaded && d.isModified(), "the edit changed nothing");
        QCOMPARE(d.title(), title);
        QCOMPARE(d.history().count(), 1);
        d.undo();
        QCOMPARE(writeAnalysis(d.analysis()), loaded);
        QVERIFY2(!d.isModified(), "undone to the file, the document still differs from it");
        QCOMPARE(d.title(), QString("Tessik: Pump"));
        d.redo();
        QCOMPARE(writeAnalysis(d.analysis()), edited);
        QCOMPARE(d.title(), title);
    }

    // A save is the new clean state: undone past it the document differs from its file at every
    // step; redone to it, it is clean again under the saved title.
    void saveMovesTheCleanState()
    {
        TestEnvironment env;
        Document d;
        d.newAnalysis();
        d.setHeader(HeaderField::Description, "Pump failure");
        d.setHeader(HeaderField::Office, "North");
        d.addBlock(30, 5);
        QVERIFY(d.save(env.path("work/Pump.rca.xml")).ok);
        QCOMPARE(d.title(), QString("Root Cause Anlysis: Pump"));
        QCOMPARE(d.lastFolder(), env.path("work/"));
        d.setHeader(HeaderField::Office, "North x"); // a header edit marks the title it finds
        QCOMPARE(d.title(), QString("Root Cause Anlysis: Pump *"));
        for (int steps = 0; d.canUndo(); ++steps) {
            d.undo();
            QVERIFY2(d.isModified() == (steps != 0), qPrintable(QString("after %1 undos").arg(steps + 1)));
        }
        while (d.canRedo())
            d.redo();
        d.undo(); // back at the save
        QVERIFY(!d.isModified());
        QCOMPARE(d.title(), QString("Root Cause Anlysis: Pump"));
    }

    // Typing on in one header field is one step; another field is a step of its own.
    void typingInAFieldIsOneStep()
    {
        Document d;
        d.newAnalysis();
        for (const char *text : {"P", "Pu", "Pump"})
            d.setHeader(HeaderField::Description, text);
        d.setHeader(HeaderField::Email, "op");
        QCOMPARE(d.history().count(), 2);
        d.undo();
        d.undo();
        QCOMPARE(d.analysis().description, QString());
    }

    // A delete unlinks every child of the block, the one in the first slot too; its undo links
    // them again and gives the slot back as it was.
    void deleteAndItsUndoKeepTheChildren()
    {
        Document document;
        document.newAnalysis();
        const int parent = document.addBlock(30, 5), other = document.addBlock(50, 5);
        document.linkBlocks(1, parent);
        document.linkBlocks(other, parent);
        const BlockTable linked = document.table();
        document.deleteBlock(parent);
        QCOMPARE(document.table().block(1).parent, 0);
        QCOMPARE(document.table().block(other).parent, 0);
        document.undo();
        document.linkBlocks(0, parent); // no such slot: nothing to do, and the redo stays
        QVERIFY2(document.table() == linked, "the undo did not give the links back");
        QVERIFY(document.canRedo());
    }

    // A gesture that changes nothing (a block moved onto its own place, a text stored as it was)
    // still marks the document, as the user did something, but adds no step.
    void anEditThatChangesNothingMarksWithoutAStep()
    {
        Document d;
        d.newAnalysis();
        d.moveBlocks({{1, d.table().block(1).x, d.table().block(1).y}});
        d.commitBlock(1, QString(), QString());
        QVERIFY(d.isModified());
        QCOMPARE(d.history().count(), 0);
    }
};

TESSIK_TEST(DocumentHistoryTest)
#include "document_history_test.moc"
