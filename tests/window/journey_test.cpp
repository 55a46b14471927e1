// One long session in the real window, step by step, against a recorded transcript of what each
// step changed: every named control's place, state and text, the view and its scroll bars, and
// what the user has seen.
#include "files/analysis_writer.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QStyle>

using namespace tessik;
using namespace tessik::test;

namespace {

// A named control as the user finds it: shown or not, usable or not, where, and what it says.
QString controlState(const QWidget *w)
{
    QString state = QString::asprintf("%s%s %d,%d %dx%d", w->isVisible() ? "shown" : "hidden",
                                      w->isEnabled() ? "" : " disabled", w->x(), w->y(), w->width(), w->height());
    if (const auto *bar = qobject_cast<const QScrollBar *>(w))
        state += QString::asprintf(" %d..%d at %d, page %d, step %d", bar->minimum(), bar->maximum(), bar->value(),
                                   bar->pageStep(), bar->singleStep());
    else if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        state += " \"" + button->text() + '"' + (button->isChecked() ? " checked" : "");
    else if (const auto *label = qobject_cast<const QLabel *>(w))
        state += " \"" + label->text() + '"' + (label->wordWrap() ? " wrapped" : "");
    else if (const auto *box = qobject_cast<const QLineEdit *>(w))
        state += " \"" + box->text() + '"' + (box->isReadOnly() ? " read-only" : "");
    else if (const auto *progress = qobject_cast<const QProgressBar *>(w))
        state += QString::asprintf(" %d of %d", progress->value(), progress->maximum());
    if (QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(const_cast<QWidget *>(w))) {
        const QString name = reader->text(QAccessible::Name), description = reader->text(QAccessible::Description);
        state += (name.isEmpty() ? QString() : " named \"" + name + '"') +
                 (description.isEmpty() ? QString() : " described \"" + description + '"');
    }
    const QFont font = w->font(); // as asked for: the family found for it depends on the machine
    state += QString::asprintf(" %s %g%s%s", qPrintable(font.family()),
                               font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF(),
                               font.pixelSize() > 0 ? "px" : "pt", font.bold() ? " bold" : "");
    if (w->hasFocus())
        state += " focus";
    return state;
}

QMap<QString, QString> stateOf(WindowDriver &d)
{
    QMap<QString, QString> state;
    for (const QWidget *w : d.window().findChildren<QWidget *>()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
            state["control " + w->objectName()] = controlState(w);
    }
    // The fill near each box's lower edge, below a short caption: the category or the replay's look.
    const BlockTable &table = d.document().table();
    for (const int id : table.liveIds())
        state[QString::asprintf("block %d", id)] = QString::asprintf(
            "#%06x", unsigned(d.diagramColour(table.block(id).x + kHalfBox, table.block(id).y + 2 * kHalfBox - 1)));
    QStringList iconSizes; // the title bar's and the task switcher's
    for (const QSize size : d.window().windowIcon().availableSizes())
        iconSizes << QString::asprintf("%dx%d", size.width(), size.height());
    state["window icon"] = iconSizes.join(' ');
    const PlaneView &view = d.diagramSurface().view();
    state["view"] = QStringLiteral("zoom %1, corner %2,%3").arg(view.zoom).arg(view.left).arg(view.top);
    const QStringList seen = d.seen();
    for (qsizetype i = 0; i < seen.size(); ++i)
        state[QString::asprintf("seen %02d", int(i))] = QString(seen[i]).replace(d.path({}), "<test folder>/");
    return state;
}

Step resized(int width, int height)
{
    return [=](WindowDriver &d) {
        d.window().resize(width, height);
        QCoreApplication::processEvents();
    };
}

using Journey = QList<std::pair<QString, Step>>;

// After these steps the whole window is compared with a recorded picture of it: the drawing of
// our own frames, buttons, lines and focus ring, which no control's state tells.
const QStringList kPictured{"loaded", "Home", "Enter", "caption typed", "notes view", "searched"};

// The recorded files of this row: its transcript, or its picture after the step.
QString recordedName(const QString &step)
{
    return QString("journey-%1%2")
        .arg(QTest::currentDataTag(), step.isEmpty() ? QString() : "-" + step + ".png")
        .replace(' ', '-');
}

// The families the machine found for every font the window asks for, and the style: the recorded
// pictures hold only where these are the ones they were recorded with.
QString fontsFound(const QWidget &window)
{
    QStringList found{QApplication::style()->name()};
    for (const QWidget *w : window.findChildren<QWidget *>())
        found << QFontInfo(w->font()).family() + ' ' + QFontInfo(w->font()).styleName();
    found.sort();
    found.removeDuplicates();
    return found.join(", ");
}

// The window's picture against the one recorded for the step; false when the machine's fonts are
// not those of the recording, so nothing could be compared.
bool looksAsRecorded(QWidget &window, const QString &name)
{
    QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    shown.setText("fonts", fontsFound(window));
    if (kRecording && !shown.save(name))
        qFatal("%s could not be written", qPrintable(name));
    const QImage recorded(name);
    if (recorded.text("fonts") != shown.text("fonts"))
        return false;
    const QString difference = pictureDifference(recorded, shown);
    [&] { QVERIFY2(difference.isEmpty(), qPrintable(name + ": " + difference)); }();
    return true;
}

// Analyses in the per-user folder, where the search looks.
Step planted(const QStringList &descriptions)
{
    return [=](WindowDriver &d) {
        for (qsizetype i = 0; i < descriptions.size(); ++i) {
            Analysis a = analysisWith(int(i) + 1);
            a.description = descriptions[i];
            QVERIFY(writeBytes(d.userFolder() + QString::number(i) + ".rca.xml", writeAnalysis(a)));
        }
    };
}

Step loaded(const Analysis &a)
{
    return [=](WindowDriver &d) { d.load(a, "Journey.rca.xml"); };
}

Analysis chain(int count)
{
    Analysis a = analysisWith(count);
    for (int i = 2; i <= count; ++i)
        a.table.link(i, i - 1);
    return a;
}

} // namespace

class JourneyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A text box's cursor does not blink, so that a picture of the window does not depend on when it is taken.
    void initTestCase() { QApplication::setCursorFlashTime(0); }

    void everyStepAsRecorded_data()
    {
        Analysis wide = analysisWith(3);
        wide.table.setCaption(wide.table.addBlock(155, 5), "Far");
        wide.table.setCaption(wide.table.addBlock(20, 60), "Below");
        const Step pickCategory = [](WindowDriver &d) { d.clickPicture("PicCategories", {100, 75}); };
        const Step pickClassification = [](WindowDriver &d) { d.clickPicture("picLedgend", {62, 15}); };
        addRows<Journey>({
            {"view and keys",
             {{"loaded", loaded(wide)},
              {"wheel down", wheel(-3)},
              {"wheel up", wheel(1)},
              {"Shift+wheel", wheel(-4, Qt::ShiftModifier)},
              {"Ctrl+wheel in", wheel(2, Qt::ControlModifier)},
              {"Ctrl+minus", key(Qt::CTRL | Qt::Key_Minus)},
              {"Ctrl+minus again", key(Qt::CTRL | Qt::Key_Minus)},
              {"Ctrl+plus", key(Qt::CTRL | Qt::Key_Plus)},
              {"Ctrl+0", key(Qt::CTRL | Qt::Key_0)},
              {"Ctrl+Shift+F", key(Qt::CTRL | Qt::SHIFT | Qt::Key_F)},
              {"resized to 1000 by 700", resized(1000, 700)},
              {"resized to 640 by 420", resized(640, 420)},
              {"Ctrl+0 in the small window", key(Qt::CTRL | Qt::Key_0)},
              {"the diagram focused", focus("picDiagram")},
              {"Home", key(Qt::Key_Home)},
              {"Right", key(Qt::Key_Right)},
              {"Right again", key(Qt::Key_Right)},
              {"Right to the far block", key(Qt::Key_Right)},
              {"Down", key(Qt::Key_Down)},
              {"Left", key(Qt::Key_Left)},
              {"Enter", key(Qt::Key_Return)},
              {"notes typed", type("txtNotes", "Checked twice")},
              {"Escape", key(Qt::Key_Escape)},
              {"category 3", key(Qt::Key_3)},
              {"Insert", key(Qt::Key_Insert)},
              {"L", key(Qt::Key_L)},
              {"Home to link to", key(Qt::Key_Home)},
              {"link made", key(Qt::Key_Return)},
              {"Ctrl+Z", key(Qt::CTRL | Qt::Key_Z)},
              {"Ctrl+Y", key(Qt::CTRL | Qt::Key_Y)},
              {"Delete", key(Qt::Key_Delete)},
              {"a block clicked", at(5, 5)},
              {"caption typed", type("txtText", " renamed")},
              {"saved with Ctrl+S", key(Qt::CTRL | Qt::Key_S)}}},
            {"mouse pictures and replay",
             {{"loaded", loaded(chain(4))},
              {"a category picked", pickCategory},
              {"dropped on block 3", at(35, 5)},
              {"a block clicked", at(20, 5)},
              {"a preset chosen", [](WindowDriver &d) { d.choosePreset("Technology"); }},
              {"caption typed", type("txtText", "Seal ")},
              {"OK", press("btnImplement")},
              {"notes view", press("optType(0)")},
              {"a classification picked", pickClassification},
              {"dropped on block 1", at(5, 5)},
              {"categories view", press("optType(1)")},
              {"dragged", drag(50, 5, 60, 20)},
              {"dragged with Shift", drag(5, 5, 10, 15, Qt::ShiftModifier)},
              {"a place below the diagram clicked", at(90, 40)},
              {"an empty place clicked", at(80, 5)},
              {"Cancel", press("btnCancel")},
              {"the new block clicked", at(80, 5)},
              {"Delete Block", press("btnDelete")},
              {"backward", press("btnAnimate")},
              {"backward again", press("btnAnimate")},
              {"backward to the end", press("btnAnimate")},
              {"forward", press("btnAnimateForward")},
              {"forward again", press("btnAnimateForward")},
              {"Snapshot", press("btnSnapShot")},
              {"Ctrl+Z", key(Qt::CTRL | Qt::Key_Z)},
              {"New", press("btnNew")},
              {"Quit", press("btnQuit")}}},
            {"search",
             {{"files planted", planted({"Pump seal leak", "Valve stuck", "pump bearing worn"})},
              {"search panel", press("btnAnalyze")},
              {"phrase typed", type("txtKeyWord", "pump")},
              {"searched", [](WindowDriver &d) { d.click("btnSearch"), d.waitForSearch(); }},
              {"an entry clicked", [](WindowDriver &d) { d.clickEntry(1); }},
              {"searched for nothing found",
               [](WindowDriver &d) { d.setText("txtKeyWord", "zzz"), d.click("btnSearch"), d.waitForSearch(); }},
              {"Done", press("btnAnalysisDone")},
              {"Save As", [](WindowDriver &d) { d.answerFile("work/Copy.rca.xml"), d.click("btnSaveAs"); }},
              {"Load", load("work/Copy.rca.xml")}}},
        });
    }
    void everyStepAsRecorded()
    {
        QFETCH(Journey, row);
        WindowDriver d;
        d.start();
        const Journey &steps = row;
        QStringList transcript;
        QMap<QString, QString> before = stateOf(d);
        for (auto it = before.begin(); it != before.end(); ++it)
            transcript << it.key() + ": " + it.value();
        bool fontsAsRecorded = true;
        for (const auto &[name, step] : steps) {
            step(d);
            if (kPictured.contains(name) && fontsAsRecorded)
                fontsAsRecorded = looksAsRecorded(d.window(), dataFile("recorded/" + recordedName(name)));
            const QMap<QString, QString> after = stateOf(d);
            transcript << QStringLiteral("== %1").arg(name);
            for (auto it = after.begin(); it != after.end(); ++it)
                if (before.value(it.key()) != it.value())
                    transcript << it.key() + ": " + it.value();
            for (auto it = before.begin(); it != before.end(); ++it)
                if (!after.contains(it.key()))
                    transcript << it.key() + ": gone";
            before = after;
        }
        compareWithRecorded(transcript, dataFile("recorded/" + recordedName({}) + ".txt"));
        if (!fontsAsRecorded)
            QSKIP("the window's pictures were recorded with other fonts than this machine gives");
    }
};

TESSIK_TEST(JourneyTest)

#include "journey_test.moc"
