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
    WindowFixture fixture;
    frmKelvane *window = nullptr;
    QString pump; // the analysis the user has open
    FakePlatform &platform() { return fixture.platform; }
    QString path(const QString &relative) const { return fixture.path(relative); }
};
using Step = std::function<void(Session &)>;

struct Fault {
    Step prepare; // before the program starts
    Step gesture;
    int messages = 0; // message boxes the user saw
    QString title;
    Step check; // what else must hold; the open file is always unchanged
};

Analysis pumpAnalysis()
{
    Analysis a;
    a.description = "Pump failure";
    a.email = "op";
    a.office = "North";
    const char *captions[] = {"Pump stopped", "No pressure", "Valve shut"};
    for (int i = 0; i < 3; ++i) {
        a.table.addBlock(float(i * 20 + 5), -10);
        a.table.BlockText[size_t(i + 1)] = QString::fromLatin1(captions[i]);
    }
    a.table.BlockParent[2] = 1;
    a.table.BlockParent[3] = 2;
    return a;
}

// Text as an input method commits it: how characters beyond the keyboard's reach are typed.
void typeCommitted(QWidget *box, const QString &text)
{
    box->setFocus();
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

// Block i of the pump analysis, at its centre.
void clickBlock(Session &s, int i)
{
    clickDiagram(*s.window, Qt::LeftButton, float((i - 1) * 20 + 5), -10);
}

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(writeBytes(path, bytes));
}

Step loadFile(const QString &relative)
{
    return [relative](Session &s) {
        s.platform().fileAnswers.enqueue(s.path(relative));
        s.window->btnLoadXML->click();
    };
}

Step messageSays(const QString &part)
{
    return [part](Session &s) {
        QVERIFY2(s.platform().messages.last().contains(part), qPrintable(s.platform().messages.last()));
    };
}

Step both(Step first, Step second)
{
    return [first, second](Session &s) {
        first(s);
        second(s);
    };
}

Step nothing()
{
    return [](Session &) {};
}

// A save that is refused leaves the document exactly as it was before the gesture's save.
Step refusedSave(const QString &named)
{
    return both(messageSays(named), [](Session &s) {
        QVERIFY(s.window->document().isModified());
        QCOMPARE(s.window->document().currentFile(), s.pump);
    });
}

// Samples beside the program and the user's own file of the same name in the per-user folder.
Step userFolderWithOwnFile(const QByteArray &version)
{
    return [version](Session &s) {
        put(s.fixture.programFolder() + "/Pump.rca.xml", "the shipped sample\r\n");
        put(s.fixture.programFolder() + "/Other.rca.xml", "another sample\r\n");
        put(s.fixture.userFolder() + "Pump.rca.xml", "the user's own analysis\r\n");
        if (version != "-") {
            put(s.fixture.userFolder() + "Tessik.hst", s.fixture.userFolder().toUtf8() + "\r\n");
            put(s.fixture.userFolder() + "Tessik.ver", version);
        }
    };
}

Step userFileKept()
{
    return [](Session &s) {
        QCOMPARE(readBytes(s.fixture.userFolder() + "Pump.rca.xml"), QByteArray("the user's own analysis\r\n"));
        QCOMPARE(readBytes(s.fixture.userFolder() + "Other.rca.xml"), QByteArray("another sample\r\n"));
    };
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestLostWork : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nothingIsLost_data()
    {
        QTest::addColumn<Fault>("fault");
        const QString marked = "Tessik: Pump *";
        const QString clean = "Tessik: Pump";
        const QString question = "You have unsaved edits.";
        auto row = [](const char *name, Fault fault) { QTest::newRow(name) << fault; };

        // 1. The system's close command asks as Quit does.
        row("close with unsaved edits, answered No: the window stays",
            {nothing(),
             [](Session &s) {
                 typeText(s.window->txtOffice, " side");
                 s.window->close();
             },
             1, marked, both(messageSays(question), [](Session &s) {
                 QVERIFY(s.window->isVisible() && !s.window->ended());
                 QCOMPARE(s.window->txtOffice->text(), QString("North side"));
                 QVERIFY(!QFile::exists(s.fixture.userFolder() + kHistoryFileName));
             })});
        row("close with unsaved edits, answered Yes: ends as Quit does",
            {nothing(),
             [](Session &s) {
                 typeText(s.window->txtOffice, " side");
                 s.platform().messageAnswers.enqueue(MessageAnswer::Yes);
                 s.window->close();
             },
             1, marked,
             [](Session &s) {
                 QVERIFY(s.window->ended());
                 QCOMPARE(s.platform().endProgramCalls, 1);
                 QCOMPARE(readBytes(s.fixture.userFolder() + kHistoryFileName),
                          (s.path("work") + QDir::separator() + "\r\n").toUtf8());
             }});
        row("close while typing in the editor, answered No: the typing stays",
            {nothing(),
             [](Session &s) {
                 clickBlock(s, 1);
                 typeText(s.window->txtText, "Still ");
                 s.window->close();
             },
             1, clean,
             [](Session &s) {
                 QVERIFY(s.window->isVisible() && !s.window->frameEdit->isHidden());
                 QCOMPARE(s.window->txtText->toPlainText(), QString("Still Pump stopped"));
             }});
        row("close with nothing unsaved: no question", {nothing(), [](Session &s) { s.window->close(); }, 0, clean,
                                                        [](Session &s) { QVERIFY(s.window->ended()); }});

        // 2. A delete is an edit.
        row("Delete Block, then Quit: asks", {nothing(),
                                              [](Session &s) {
                                                  clickBlock(s, 2);
                                                  s.window->btnDelete->click();
                                                  s.window->btnQuit->click();
                                              },
                                              1, marked,
                                              [](Session &s) {
                                                  QVERIFY(!s.window->ended());
                                                  QVERIFY(!s.window->table().isLive(2));
                                              }});

        // 3. What was typed in the editor is kept when another block opens or a new one is added.
        row("open another block while typing", {nothing(),
                                                [](Session &s) {
                                                    clickBlock(s, 1);
                                                    typeText(s.window->txtNotes, "seal worn");
                                                    clickBlock(s, 2);
                                                },
                                                0, marked,
                                                [](Session &s) {
                                                    QCOMPARE(s.window->table().BlockNotes[1], QString("seal worn"));
                                                    QCOMPARE(s.window->EditedBlock, 2);
                                                    QCOMPARE(diagramColour(*s.window, 0, -10),
                                                             kBlack); // no stale outline on block 1
                                                    QCOMPARE(diagramColour(*s.window, 20, -10), kRed);
                                                }});
        row("add a block while typing", {nothing(),
                                         [](Session &s) {
                                             clickBlock(s, 3);
                                             typeText(s.window->txtText, "Still ");
                                             clickDiagram(*s.window, Qt::LeftButton, 30, 10);
                                         },
                                         0, marked,
                                         [](Session &s) {
                                             QCOMPARE(s.window->table().BlockText[3], QString("Still Valve shut"));
                                             QCOMPARE(s.window->EditedBlock, 4);
                                             QCOMPARE(diagramColour(*s.window, 40, -10), kBlack);
                                         }});

        // 4. Start-up never replaces the user's files with the samples.
        row("upgrade", {userFolderWithOwnFile("15.12.01\r\n"), nothing(), 0, clean, userFileKept()});
        row("first run with the folder there", {userFolderWithOwnFile("-"), nothing(), 0, clean, userFileKept()});
        row("empty version file", {userFolderWithOwnFile(""), nothing(), 0, clean, userFileKept()});

        // 5. Characters the code page cannot hold: Save refuses, and nothing changes.
        row("Save with a Polish place name",
            {nothing(),
             [](Session &s) {
                 typeCommitted(s.window->txtOffice, QString::fromUtf8(" Łódź"));
                 s.window->btnSave->click();
             },
             1, marked, refusedSave(QString::fromUtf8("The office holds \"Ł\" (U+0141)"))});
        row("Save As with an emoji caption, refused before any dialog",
            {nothing(),
             [](Session &s) {
                 clickBlock(s, 1);
                 typeCommitted(s.window->txtText, QString::fromUtf8("😀 "));
                 pressEnter(s.window->txtText);
                 s.window->btnSaveAs->click();
             },
             1, marked,
             both(refusedSave(QString::fromUtf8("The caption of block 1 holds \"😀\" (U+1F600)")), [](Session &s) {
                 for (const FileDialogRequest &request : s.platform().fileRequests)
                     QVERIFY(request.mode != FileDialogMode::Save);
             })});
        row("Save with a sign in the notes and Chinese in the description",
            {nothing(),
             [](Session &s) {
                 clickBlock(s, 2);
                 typeCommitted(s.window->txtNotes, QString::fromUtf8("≥ 3 bar"));
                 pressEnter(s.window->txtText);
                 typeCommitted(s.window->txtDescription, QString::fromUtf8(" 泵"));
                 s.window->btnSave->click();
             },
             1, marked, refusedSave(QString::fromUtf8("The event description holds \"泵\" (U+6CF5)"))});
        row("a folder the code page cannot hold comes back after a restart",
            {nothing(),
             [](Session &s) {
                 const QString folder = s.path(QString::fromUtf8("work/Łódź 東京"));
                 put(folder + "/Pump.rca.xml", readBytes(s.pump));
                 s.platform().fileAnswers.enqueue(folder + "/Pump.rca.xml");
                 s.window->btnLoadXML->click();
                 s.window->btnQuit->click();
             },
             0, clean,
             [](Session &s) {
                 const QString folder = s.path(QString::fromUtf8("work/Łódź 東京")) + QDir::separator();
                 s.fixture.window.reset();
                 QCOMPARE(s.fixture.start().document().lastFolder(), folder);
             }});

        // 6. A file that is no analysis is refused.
        row("Load a text file",
            {[](Session &s) { put(s.path("work/notes.rca.xml"), readBytes(TESSIK_TEST_DATA "/not_an_analysis.txt")); },
             loadFile("work/notes.rca.xml"), 1, clean,
             [](Session &s) {
                 QVERIFY(s.platform().messages.last().contains(s.path("work/notes.rca.xml")));
                 QCOMPARE(s.window->document().currentFile(), s.pump);
                 QCOMPARE(s.window->table().BlockCount, std::int16_t(3));
             }});

        // 7. An empty block element no longer ends the list, and a save keeps what follows it.
        row("empty block in the middle, then Save",
            {[](Session &s) {
                 put(s.path("work/Middle.rca.xml"), readBytes(TESSIK_TEST_DATA "/empty_block_in_middle.rca.xml"));
             },
             both(loadFile("work/Middle.rca.xml"), [](Session &s) { s.window->btnSave->click(); }), 1,
             "Root Cause Anlysis: Middle", both(messageSays("Block 2: the block element is empty"), [](Session &s) {
                 const Analysis saved = readAnalysisFile(s.path("work/Middle.rca.xml")).analysis;
                 QCOMPARE(saved.table.BlockCount, std::int16_t(3));
                 QCOMPARE(saved.table.BlockText[3], QString("After"));
             })});

        // 8. The save refusal names the text that breaks, not one whose markup does no harm.
        row("harmless markup first, a breaking tag later",
            {nothing(),
             [](Session &s) {
                 typeText(s.window->txtDescription, " <id> 7");
                 clickBlock(s, 2);
                 typeText(s.window->txtText, "a</text>b ");
                 pressEnter(s.window->txtText);
                 s.window->btnSave->click();
             },
             1, marked, both(refusedSave("The caption of block 2 holds \"</text>\""), [](Session &s) {
                 QVERIFY(!s.platform().messages.last().contains("description"));
             })});
    }
    void nothingIsLost()
    {
        QFETCH(Fault, fault);
        Session s;
        QDir().mkpath(s.fixture.userFolder());
        fault.prepare(s);
        s.window = &s.fixture.start();
        s.pump = openAnalysis(s.fixture, pumpAnalysis(), "Pump.rca.xml");
        const QByteArray onDisk = readBytes(s.pump);
        fault.gesture(s);
        QCOMPARE(s.platform().messages.size(), fault.messages);
        QCOMPARE(s.window ? s.window->windowTitle() : QString(), fault.title);
        QCOMPARE(readBytes(s.pump), onDisk);
        fault.check(s);
    }

    // A block dropped past the left or top edge would be out of reach for good: it lands inside,
    // and a group keeps its shape.
    void droppedPastTheEdgeLandsInside_data()
    {
        QTest::addColumn<QPointF>("drop");
        QTest::addColumn<bool>("group");
        QTest::addColumn<QPointF>("landing"); // block 1's corner
        QTest::newRow("alone, past the left edge") << QPointF(-3, 0) << false << QPointF(-1, -5);
        QTest::newRow("alone, past the top edge") << QPointF(30, -25) << false << QPointF(25, -21);
        QTest::newRow("with descendants, past both") << QPointF(-2, -24) << true << QPointF(-1, -21);
        QTest::newRow("inside: lands where dropped") << QPointF(8.4f, -11) << true << QPointF(3, -16);
    }
    void droppedPastTheEdgeLandsInside()
    {
        QFETCH(QPointF, drop);
        QFETCH(bool, group);
        QFETCH(QPointF, landing);
        Session s;
        s.window = &s.fixture.start();
        openAnalysis(s.fixture, pumpAnalysis());
        const BlockTable before = s.window->table();
        dragDiagram(*s.window, Qt::RightButton, 5, -10, float(drop.x()), float(drop.y()),
                    group ? Qt::ShiftModifier : Qt::NoModifier);
        const BlockTable &t = s.window->table();
        QCOMPARE(QPointF(t.BlockX[1], t.BlockY[1]), landing);
        for (int i = 2; i <= 3; ++i) {
            const QPointF offset(t.BlockX[i] - t.BlockX[1], t.BlockY[i] - t.BlockY[1]);
            const QPointF offsetBefore(before.BlockX[i] - before.BlockX[1], before.BlockY[i] - before.BlockY[1]);
            QCOMPARE(offset == offsetBefore, group);
        }
    }

    // Numbers with a fraction (hand-edited files) use the locale's separator only where the code
    // page holds it.
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
        QString shown;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                format = box->textFormat();
                shown = box->text();
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            }
        });
        answer.start(20);
        platform.showMessage("The file\r\n/data/<b>Pump</b>.rca.xml\r\ncould not be read.", MessageButtons::Ok);
        QCOMPARE(format, Qt::PlainText);
        QVERIFY(shown.contains("<b>Pump</b>"));
    }
};

QTEST_MAIN(TestLostWork)
#include "test_lost_work.moc"
