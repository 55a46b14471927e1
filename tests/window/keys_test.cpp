// The keyboard through the real window: each key does what a click on its button does, Confirm
// included, and nothing while the button's panel is hidden; Esc closes the editor and the search.
#include "support/test_main.h"
#include "support/window.h"

#include <QProcess>
#include <QPushButton>

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
    // what happened, in order: the questions, the dialogs, a print, a save, the panel shown then,
    // the end.
    void keysActAsTheirButtons_data()
    {
        QTest::addColumn<Keys>("row");
        const auto ctrl = [](Qt::Key key) { return Qt::CTRL | key; };
        const QString picture = "Save dialog: Save a picture of the diagram";
        const QString saveAs = "Save dialog: Select a Root Cause Analysis";
        row("Ctrl+N asks, Yes", "frameControl", "txtemail", ctrl(Qt::Key_N), true, {"Confirm", "frameEdit"});
        row("Ctrl+O asks, Yes", "frameControl", "txtemail", ctrl(Qt::Key_O), true, {"Confirm", "Open dialog"});
        row("Ctrl+S saves", "frameControl", "txtemail", ctrl(Qt::Key_S), false, {"saved"});
        row("Ctrl+Shift+S", "frameControl", "txtDescription", Qt::CTRL | Qt::SHIFT | Qt::Key_S, false, {saveAs});
        row("Ctrl+F", "frameControl", "txtOffice", ctrl(Qt::Key_F), false, {"frameAnalyze"});
        row("Ctrl+Q asks, Yes", "frameControl", "txtemail", ctrl(Qt::Key_Q), true, {"Confirm", "ended"});
        row("Ctrl+E from a text box", "frameControl", "txtDescription", ctrl(Qt::Key_E), false, {picture});
        row("Ctrl+P", "frameControl", "txtemail", ctrl(Qt::Key_P), false, {"print dialog"});
        row("Ctrl+R", "frameControl", "txtOffice", ctrl(Qt::Key_R), false,
            {"Save dialog: Save a report of the analysis"});
        row("Ctrl+R in the editor does nothing", "frameEdit", "txtNotes", ctrl(Qt::Key_R), false, {});
        row("Esc cancels the editor", "frameEdit", "txtText", Qt::Key_Escape, false, {"frameControl"});
        row("Esc closes the search", "frameAnalyze", "txtKeyWord", Qt::Key_Escape, false, {"frameControl"});
        row("Ctrl+S in the editor stores, closes, saves", "frameEdit", "txtText", ctrl(Qt::Key_S), false,
            {"saved", "frameControl"});
        row("Ctrl+Shift+S in the editor", "frameEdit", "txtNotes", Qt::CTRL | Qt::SHIFT | Qt::Key_S, false,
            {saveAs, "frameControl"});
        row("Ctrl+N in the editor does nothing", "frameEdit", "txtText", ctrl(Qt::Key_N), false, {});
        row("Ctrl+S in the search does nothing", "frameAnalyze", "txtKeyWord", ctrl(Qt::Key_S), false, {});
    }
    void keysActAsTheirButtons()
    {
        QFETCH(Keys, row);
        const auto [panel, focus, combination, answerYes, expected] = row;
        WindowDriver d;
        d.start();
        const QString file = d.load(analysisWith(1));
        run(d, {type("txtemail", "x")});
        if (panel != "frameControl")
            run(d, {panel == "frameEdit" ? at(5, 5) : press("btnAnalyze")});
        d.control(focus)->setFocus();
        const QByteArray bytes = readBytes(file);
        const auto messages = d.platform.messages.size(), dialogs = d.platform.fileRequests.size();
        QCOMPARE(d.panel(), panel);
        if (answerYes)
            d.answerMessage(MessageAnswer::Yes);
        run(d, {key(combination)});
        QStringList seen;
        for (auto i = messages; i < d.platform.messages.size(); ++i)
            seen << (d.platform.messageButtons[i] == MessageButtons::YesNo ? "Confirm" : d.platform.messages[i]);
        for (auto i = dialogs; i < d.platform.fileRequests.size(); ++i) {
            const FileDialogRequest &r = d.platform.fileRequests[i];
            seen << (r.mode == FileDialogMode::Open ? QString("Open dialog") : "Save dialog:" + r.title);
        }
        seen << QStringList("print dialog").mid(d.platform.printRequests.isEmpty())
             << QStringList("saved").mid(readBytes(file) == bytes) << QStringList(d.panel()).mid(d.panel() == panel)
             << QStringList("ended").mid(!d.ended());
        QCOMPARE(seen, expected);
    }

    // Ctrl+S in the editor keeps what was typed there as OK would.
    void saveFromTheEditorKeepsItsTyping()
    {
        WindowDriver d;
        d.start();
        const QString file = d.load(analysisWith(1));
        run(d, {at(5, 5), type("txtNotes", "seal worn"), key(Qt::CTRL | Qt::Key_S)});
        QVERIFY2(readBytes(file).contains("<notes>seal worn</notes>"), readBytes(file).constData());
        QCOMPARE(d.title(), QString("Root Cause Anlysis: A"));
    }

    // Ctrl+R writes the report of what the window shows, unsaved edits included; a name typed
    // without an ending becomes a PDF.
    void reportKeyWritesTheReport()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(2), "Pump.rca.xml");
        run(d, {at(5, 5), type("txtText", "Seal "), press("btnImplement"), answer("work/Pump report"),
                key(Qt::CTRL | Qt::Key_R)});
        QVERIFY2(d.platform.messages.isEmpty(), qPrintable(d.platform.messages.join('\n')));
        QCOMPARE(d.platform.fileRequests.last().initialFolder, d.path("work/"));
        QCOMPARE(d.platform.fileRequests.last().fileName, QString("Pump.pdf"));
        QProcess text;
        text.start("pdftotext", {d.path("work/Pump report.pdf"), "-"});
        QVERIFY2(text.waitForFinished() && text.readAllStandardOutput().contains("Seal Block 1"),
                 "the report does not show the unsaved caption");
        QVERIFY(d.document().isModified()); // a report is no save
    }

    // Each command button's tooltip names its key.
    void tooltipsNameTheKeys_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("keyText");
        const QList<std::pair<const char *, QKeySequence>> keys{
            {"btnNew", Qt::CTRL | Qt::Key_N},     {"btnLoadXML", Qt::CTRL | Qt::Key_O},
            {"btnSave", Qt::CTRL | Qt::Key_S},    {"btnSaveAs", Qt::CTRL | Qt::SHIFT | Qt::Key_S},
            {"btnAnalyze", Qt::CTRL | Qt::Key_F}, {"btnQuit", Qt::CTRL | Qt::Key_Q},
            {"btnCancel", Qt::Key_Escape},        {"btnAnalysisDone", Qt::Key_Escape}};
        for (const auto &[button, key] : keys)
            QTest::newRow(button) << QString(button) << key.toString(QKeySequence::NativeText);
    }
    void tooltipsNameTheKeys()
    {
        QFETCH(QString, button);
        QFETCH(QString, keyText);
        WindowDriver d;
        d.start();
        QVERIFY2(d.control(button)->toolTip().contains("(" + keyText + ")"), qPrintable(d.control(button)->toolTip()));
    }

    // A picture that cannot be written, or one of an unknown kind, says so and leaves nothing.
    void pictureFailuresSaySo()
    {
        WindowDriver d;
        d.start();
        QVERIFY(writeBytes(d.path("work/file"), "x"));
        run(d, {answer("work/file/picture.svg"), key(Qt::CTRL | Qt::Key_E), answer("work/picture.jpg"),
                key(Qt::CTRL | Qt::Key_E)});
        QCOMPARE(d.platform.messages.size(), 2);
        QVERIFY2(d.platform.messages[0].contains(d.path("work/file/picture.svg")) &&
                     d.platform.messages[0].contains("Part of the path is a file"),
                 qPrintable(d.platform.messages[0]));
        QVERIFY2(d.platform.messages[1].contains(".pdf, .svg or .png"), qPrintable(d.platform.messages[1]));
        QVERIFY(!QFile::exists(d.path("work/picture.jpg")));
    }

    // A print offers the page turned to the diagram's shape and draws the diagram on it; a print
    // that fails says so.
    void printDrawsTheDiagramOrSaysWhyNot()
    {
        WindowDriver d;
        d.start();
        d.platform.printAnswers << PrintOutcome::Failed << PrintOutcome::Printed;
        run(d, {key(Qt::CTRL | Qt::Key_P)});
        QCOMPARE(d.platform.messages, QStringList{"The diagram could not be printed."});
        d.load(analysisWith(4), "Pump.rca.xml");
        run(d, {key(Qt::CTRL | Qt::Key_P)});
        QCOMPARE(d.platform.printRequests.value(1).jobName, QString("Pump"));
        QVERIFY2(d.platform.printRequests[1].landscape, "a wide diagram is offered on a page turned wide");
        const QImage page = d.platform.printedPages.value(0);
        QImage blank(page.size(), page.format());
        blank.fill(Qt::white);
        QVERIFY2(!page.isNull() && page != blank, "nothing was drawn on the page");
    }
};

TESSIK_TEST(KeysTest)
#include "keys_test.moc"
