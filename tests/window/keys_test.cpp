// The keyboard through the real window: each key does what a click on its button does, Confirm
// included, and nothing while the button's panel is hidden; Esc closes the editor and the search.
#include "support/test_main.h"
#include "support/window.h"

using namespace tessik;
using namespace tessik::test;

namespace {

using Keys = std::tuple<QString, QString, QKeyCombination, bool, QStringList>;
void row(const char *name, const char *panel, const char *focus, QKeyCombination key, bool yes,
         const QStringList &expected)
{
    QTest::newRow(name) << Keys{panel, focus, key, yes, expected};
}

} // namespace

class KeysTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The window starts with a loaded analysis and an unsaved edit of the e-mail box; a row names
    // the panel on show, the box with the focus, the key, whether Confirm is answered Yes, and
    // what happened: the questions, dialogs, a save, the panel shown then, the end.
    void keysActAsTheirButtons_data()
    {
        QTest::addColumn<Keys>("row");
        const auto ctrl = [](Qt::Key key) { return Qt::CTRL | key; };
        const QString picture = "Save dialog: Save a picture of the diagram";
        row("Ctrl+N asks, Yes", "frameControl", "txtemail", ctrl(Qt::Key_N), true, {"Confirm", "frameEdit"});
        row("Ctrl+O asks, Yes", "frameControl", "txtemail", ctrl(Qt::Key_O), true, {"Confirm", "Open dialog"});
        row("Ctrl+S saves", "frameControl", "txtemail", ctrl(Qt::Key_S), false, {"saved"});
        row("Ctrl+Shift+S", "frameControl", "txtDescription", Qt::CTRL | Qt::SHIFT | Qt::Key_S, false,
            {"Save dialog: Select a Root Cause Analysis"});
        row("Ctrl+F", "frameControl", "txtOffice", ctrl(Qt::Key_F), false, {"frameAnalyze"});
        row("Ctrl+Q asks, Yes", "frameControl", "txtemail", ctrl(Qt::Key_Q), true, {"Confirm", "ended"});
        row("Ctrl+E from a text box", "frameControl", "txtDescription", ctrl(Qt::Key_E), false, {picture});
        row("Ctrl+P", "frameControl", "txtemail", ctrl(Qt::Key_P), false, {"print dialog"});
        row("Esc cancels the editor", "frameEdit", "txtText", Qt::Key_Escape, false, {"frameControl"});
        row("Esc closes the search", "frameAnalyze", "txtKeyWord", Qt::Key_Escape, false, {"frameControl"});
        row("Ctrl+S in the editor", "frameEdit", "txtText", ctrl(Qt::Key_S), false, {});
    }
    void keysActAsTheirButtons()
    {
        QFETCH(Keys, row);
        const auto [panel, focus, combination, answerYes, expected] = row;
        WindowFixture f;
        frmKelvane &w = f.start();
        const QString file = f.load(analysisWith(1));
        typeText(w.txtemail, "x");
        if (panel != "frameControl")
            (panel == "frameEdit" ? at(5, 5) : press("btnAnalyze"))(f);
        w.findChild<QWidget *>(focus)->setFocus();
        const QByteArray bytes = readBytes(file);
        const auto messages = f.platform.messages.size(), dialogs = f.platform.fileRequests.size();
        QCOMPARE(observe(w).panel.section(' ', 0, 0).remove(':'), panel);
        if (answerYes)
            f.platform.messageAnswers.enqueue(MessageAnswer::Yes);
        run(f, {key(combination)});
        QStringList seen;
        for (auto i = messages; i < f.platform.messages.size(); ++i)
            seen << (f.platform.messageButtons[i] == MessageButtons::YesNo ? "Confirm" : "message");
        for (auto i = dialogs; i < f.platform.fileRequests.size(); ++i) {
            const FileDialogRequest &r = f.platform.fileRequests[i];
            seen << (r.mode == FileDialogMode::Open ? QString("Open dialog") : "Save dialog:" + r.title);
        }
        seen << QStringList("print dialog").mid(f.platform.printRequests.isEmpty())
             << QStringList("saved").mid(readBytes(file) == bytes)
             << QStringList(observe(w).panel.section(' ', 0, 0).remove(':')).mid(observe(w).panel.startsWith(panel))
             << QStringList("ended").mid(!w.ended());
        QCOMPARE(seen, expected);
    }

    // Every button's tooltip names its key; a picture or a print that fails says so. A print
    // offers the page turned to the diagram's shape and draws the diagram on it.
    void tooltipsAndFailures()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        QStringList tips;
        for (const QPushButton *button : w.findChildren<QPushButton *>())
            tips << button->toolTip();
        QCOMPARE(tips.join('|'), QString("OK (Enter in the Text box)|Cancel (Esc)||Search (Enter in the Phrase box)|"
                                         "Done (Esc)|New (Ctrl+N)|Save (Ctrl+S)|||||Quit (Ctrl+Q)|Load (Ctrl+O)|"
                                         "Save As (Ctrl+Shift+S)|Search (Ctrl+F)||"));
        const QString blocked = f.path("work/file/picture.svg"); // under a regular file
        QVERIFY(writeBytes(f.path("work/file"), "x"));
        f.platform.fileAnswers << blocked << f.path("work/picture.jpg");
        f.platform.printAnswers << PrintOutcome::Failed << PrintOutcome::Printed;
        w.exportDiagram();
        w.exportDiagram();
        w.printDiagram();
        f.load(analysisWith(4), "Pump.rca.xml");
        w.printDiagram();
        QVERIFY(f.platform.printRequests.value(1).jobName == "Pump" && f.platform.printRequests[1].landscape);
        const QImage page = f.platform.printedPages.value(0);
        QImage blank(page.size(), page.format());
        blank.fill(Qt::white);
        QVERIFY(!page.isNull() && page != blank); // the diagram is on the page (fitted as a picture file's)
        QCOMPARE(f.platform.messages.size(), 3);
        QVERIFY(f.platform.messages[0].contains(blocked) &&
                f.platform.messages[0].contains("Part of the path is a file"));
        QVERIFY(f.platform.messages[1].contains(".pdf, .svg or .png") && !QFile::exists(f.path("work/picture.jpg")));
        QCOMPARE(f.platform.messages[2], QString("The diagram could not be printed."));
    }
};

TESSIK_TEST(KeysTest)
#include "keys_test.moc"
