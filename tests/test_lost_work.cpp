// Every way a user's work used to get lost, as the user meets it: the gesture, then what must
// hold (the file on disk, the analysis, the title, the messages shown).
#include "app/core/user_files.h"
#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "platform/qt/qt_platform.h"
#include "support/document_state.h"
#include "support/gui_driver.h"

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tessik;
using namespace tessik::test;

namespace {

struct Session {
    WindowFixture f;
    frmKelvane *w = nullptr;
    QString pump; // the analysis the user has open
    QStringList &messages() { return f.platform.messages; }
};
using Step = std::function<void(Session &)>;

struct Fault {
    Step prepare; // before the program starts
    Step gesture;
    int messages = 0; // message boxes the user saw
    QString title;
    Step check; // what else must hold; the open file is always left as it was
};

void clickBlock(Session &s, int i)
{
    clickDiagram(*s.w, Qt::LeftButton, float((i - 1) * 20 + 5), -10);
}

// Text as an input method commits it: how characters beyond the keyboard's reach are typed.
void typeCommitted(QWidget *box, const QString &text)
{
    box->setFocus();
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(writeBytes(path, bytes));
}

Step load(const QString &relative, const QString &source = QString())
{
    return [=](Session &s) {
        if (!source.isEmpty())
            put(s.f.path(relative), readBytes(source));
        s.f.platform.fileAnswers.enqueue(s.f.path(relative));
        s.w->btnLoadXML->click();
    };
}

Step then(Step first, Step second)
{
    return [=](Session &s) {
        first(s);
        second(s);
    };
}

Step says(const QString &part)
{
    return [=](Session &s) { QVERIFY2(s.messages().last().contains(part), qPrintable(s.messages().last())); };
}

// A save that is refused leaves the document exactly as it was before the save.
Step refusedSaying(const QString &part)
{
    return then(says(part), [](Session &s) {
        QVERIFY(s.w->document().isModified());
        QCOMPARE(s.w->document().currentFile(), s.pump);
    });
}

const Step nothing = [](Session &) {};
const Step edit = [](Session &s) { typeText(s.w->txtOffice, " side"); };

// A shipped sample, and the user's own file of the same name in the per-user folder.
Step userFolderWithOwnFile(const QByteArray &version)
{
    return [=](Session &s) {
        put(s.f.programFolder() + "/Pump.rca.xml", "the shipped sample\r\n");
        put(s.f.programFolder() + "/Other.rca.xml", "another sample\r\n");
        put(s.f.userFolder() + "Pump.rca.xml", "the user's own analysis\r\n");
        if (version != "-") {
            put(s.f.userFolder() + kHistoryFileName, "/data/\r\n");
            put(s.f.userFolder() + kVersionFileName, version);
        }
    };
}
const Step userFileKept = [](Session &s) {
    QCOMPARE(readBytes(s.f.userFolder() + "Pump.rca.xml"), QByteArray("the user's own analysis\r\n"));
    QCOMPARE(readBytes(s.f.userFolder() + "Other.rca.xml"), QByteArray("another sample\r\n"));
};

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestLostWork : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nothingIsLost_data()
    {
        QTest::addColumn<Fault>("fault");
        const QString marked = "Tessik: Pump *", clean = "Tessik: Pump", question = "You have unsaved edits.";
        auto row = [](const char *name, Fault fault) { QTest::newRow(name) << fault; };

        // 1. The system's close command asks as Quit does.
        row("close, unsaved, answered No",
            {nothing, then(edit, [](Session &s) { s.w->close(); }), 1, marked, then(says(question), [](Session &s) {
                 QVERIFY(s.w->isVisible() && !s.w->ended());
                 QCOMPARE(s.w->txtOffice->text(), QString("North side"));
             })});
        row("close, nothing unsaved",
            {nothing, [](Session &s) { s.w->close(); }, 0, clean, [](Session &s) { QVERIFY(s.w->ended()); }});
        row("close while typing in the editor", {nothing,
                                                 [](Session &s) {
                                                     clickBlock(s, 1);
                                                     typeText(s.w->txtText, "Still ");
                                                     s.w->close();
                                                 },
                                                 1, clean,
                                                 [](Session &s) {
                                                     QVERIFY(s.w->isVisible());
                                                     QCOMPARE(s.w->txtText->toPlainText(),
                                                              QString("Still Pump stopped"));
                                                 }});
        // 2. A delete is an edit.
        row("Delete Block, then Quit", {nothing,
                                        [](Session &s) {
                                            clickBlock(s, 2);
                                            s.w->btnDelete->click();
                                            s.w->btnQuit->click();
                                        },
                                        1, marked, [](Session &s) { QVERIFY(!s.w->ended()); }});
        // 3. What was typed in the editor is kept, and the outline goes, when another block opens
        // or a new one is added.
        row("open another block while typing", {nothing,
                                                [](Session &s) {
                                                    clickBlock(s, 1);
                                                    typeText(s.w->txtNotes, "seal worn");
                                                    clickBlock(s, 2);
                                                },
                                                0, marked,
                                                [](Session &s) {
                                                    QCOMPARE(s.w->table().BlockNotes[1], QString("seal worn"));
                                                    QCOMPARE(diagramColour(*s.w, 0, -10), kBlack);
                                                    QCOMPARE(diagramColour(*s.w, 20, -10), kRed);
                                                }});
        row("add a block while typing", {nothing,
                                         [](Session &s) {
                                             clickBlock(s, 3);
                                             typeText(s.w->txtText, "Still ");
                                             clickDiagram(*s.w, Qt::LeftButton, 55, 25);
                                         },
                                         0, marked,
                                         [](Session &s) {
                                             QCOMPARE(s.w->table().BlockText[3], QString("Still Valve shut"));
                                             QCOMPARE(diagramColour(*s.w, 40, -10), kBlack);
                                         }});
        // 4. Start-up never replaces the user's files with the samples.
        row("upgrade", {userFolderWithOwnFile("15.12.01\r\n"), nothing, 0, clean, userFileKept});
        row("empty version file", {userFolderWithOwnFile(""), nothing, 0, clean, userFileKept});
        // 5. Characters the code page cannot hold: Save and Save As refuse, nothing changes.
        row("Save with a Polish place name",
            {nothing,
             [](Session &s) {
                 typeCommitted(s.w->txtOffice, QString::fromUtf8(" Łódź"));
                 s.w->btnSave->click();
             },
             1, marked, refusedSaying(QString::fromUtf8("The office holds \"Ł\" (U+0141)"))});
        row("Save As with an emoji, refused before the dialog",
            {nothing,
             [](Session &s) {
                 clickBlock(s, 1);
                 typeCommitted(s.w->txtText, QString::fromUtf8("😀 "));
                 pressEnter(s.w->txtText);
                 s.w->btnSaveAs->click();
             },
             1, marked,
             then(refusedSaying(QString::fromUtf8("The caption of block 1 holds \"😀\" (U+1F600)")),
                  [](Session &s) { QCOMPARE(s.f.platform.fileRequests.size(), 1); })}); // the Load's
        row("a folder the code page cannot hold, after a restart",
            {nothing,
             then(load(QString::fromUtf8("work/Łódź 東京/Pump.rca.xml"), TESSIK_TEST_DATA "/worked_example.rca.xml"),
                  [](Session &s) { s.w->btnQuit->click(); }),
             0, "Tessik: Pump", [](Session &s) {
                 const QString folder = s.f.path(QString::fromUtf8("work/Łódź 東京")) + QDir::separator();
                 s.f.window.reset();
                 QCOMPARE(s.f.start().document().lastFolder(), folder);
             }});
        // 6. A file that is no analysis is refused.
        row("Load a text file", {nothing, load("work/notes.rca.xml", TESSIK_TEST_DATA "/not_an_analysis.txt"), 1, clean,
                                 then(says("notes.rca.xml"), [](Session &s) {
                                     QCOMPARE(s.w->document().currentFile(), s.pump);
                                     QCOMPARE(s.w->table().BlockCount, std::int16_t(5));
                                 })});
        // 7. An empty block element no longer ends the list, and a save keeps what follows it.
        row("empty block in the middle, then Save",
            {nothing,
             then(load("work/Middle.rca.xml", TESSIK_TEST_DATA "/empty_block_in_middle.rca.xml"),
                  [](Session &s) { s.w->btnSave->click(); }),
             1, "Root Cause Anlysis: Middle", then(says("Block 2: the block element is empty"), [](Session &s) {
                 const BlockTable saved = readAnalysisFile(s.f.path("work/Middle.rca.xml")).analysis.table;
                 QCOMPARE(saved.BlockText[3], QString("After"));
             })});
        // 8. The save refusal names the text that breaks, not one whose markup does no harm.
        row("harmless markup first, a breaking tag later",
            {nothing,
             [](Session &s) {
                 typeText(s.w->txtDescription, " <id> 7");
                 clickBlock(s, 2);
                 typeText(s.w->txtText, "a</text>b");
                 pressEnter(s.w->txtText);
                 s.w->btnSave->click();
             },
             1, marked, refusedSaying("The caption of block 2 holds \"</text>\"")});
    }
    void nothingIsLost()
    {
        QFETCH(Fault, fault);
        Session s;
        QDir().mkpath(s.f.userFolder());
        fault.prepare(s);
        s.w = &s.f.start();
        s.pump = openAnalysis(s.f, pumpAnalysis(), "Pump.rca.xml");
        const QByteArray onDisk = readBytes(s.pump);
        fault.gesture(s);
        QCOMPARE(s.messages().size(), fault.messages);
        QCOMPARE(s.w->windowTitle(), fault.title);
        QCOMPARE(readBytes(s.pump), onDisk);
        fault.check(s);
    }

    // A block dropped past the left or top edge would be out of reach: it lands inside, and a
    // group keeps its shape.
    void droppedPastTheEdgeLandsInside_data()
    {
        QTest::addColumn<QPointF>("drop");
        QTest::addColumn<bool>("group");
        QTest::addColumn<QPointF>("landing"); // block 1's corner
        QTest::newRow("alone, past the left edge") << QPointF(-3, 0) << false << QPointF(-1, -5);
        QTest::newRow("alone, past the top edge") << QPointF(30, -25) << false << QPointF(25, -21);
        QTest::newRow("with descendants, past both") << QPointF(-2, -24) << true << QPointF(-1, -21);
        QTest::newRow("inside: where dropped") << QPointF(8.4, -11) << true << QPointF(3, -16);
    }
    void droppedPastTheEdgeLandsInside()
    {
        QFETCH(QPointF, drop);
        QFETCH(bool, group);
        QFETCH(QPointF, landing);
        WindowFixture f;
        frmKelvane &w = f.start();
        openAnalysis(f, pumpAnalysis());
        dragDiagram(w, Qt::RightButton, 5, -10, float(drop.x()), float(drop.y()),
                    group ? Qt::ShiftModifier : Qt::NoModifier);
        const BlockTable &t = w.table();
        QCOMPARE(QPointF(t.BlockX[1], t.BlockY[1]), landing);
        QCOMPARE(QPointF(t.BlockX[3], t.BlockY[3]) - landing == QPointF(40, 0), group); // the group's shape
    }

    // Positions with a fraction (hand-edited files) use the locale's separator only where the
    // code page holds it.
    void decimalSeparatorWithoutACodePageByte()
    {
        const QLocale arabic(QLocale::Arabic, QLocale::Egypt);
        QVERIFY2(firstUnencodable(arabic.decimalPoint()) >= 0, "the test needs a separator outside the code page");
        Analysis a = pumpAnalysis();
        a.table.BlockX[1] = 2.5f;
        const QByteArray bytes = writeAnalysis(a, arabic);
        QVERIFY(bytes.contains("<x> 2.5 </x>"));
        QCOMPARE(parseAnalysisText(decode1252(bytes), arabic).analysis.table.BlockX[1], 2.5f);
    }

    // A file name or a text holding markup is shown as it is, not as rich text.
    void messageBoxesShowPlainText()
    {
        QtPlatform platform;
        Qt::TextFormat format = Qt::AutoText;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                format = box->textFormat();
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            }
        });
        answer.start(20);
        platform.showMessage("The file\r\n/data/<b>Pump</b>.rca.xml\r\ncould not be read.", MessageButtons::Ok);
        QCOMPARE(format, Qt::PlainText);
    }
};

QTEST_MAIN(TestLostWork)
#include "test_lost_work.moc"
