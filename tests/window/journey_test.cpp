// One long session in the real window, step by step, against a recorded transcript of what each
// step changed: every named control's place, state and text, the view and its scroll bars, and
// what the user has seen.
#include "support/test_main.h"
#include "support/window.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

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
        state += " \"" + label->text() + '"';
    else if (const auto *box = qobject_cast<const QLineEdit *>(w))
        state += " \"" + box->text() + '"' + (box->isReadOnly() ? " read-only" : "");
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

} // namespace

class JourneyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyStepAsRecorded()
    {
        WindowDriver d;
        d.start();
        Analysis a = analysisWith(3);
        a.table.setCaption(a.table.addBlock(155, 5), "Far");
        a.table.setCaption(a.table.addBlock(20, 60), "Below");
        const QList<std::pair<const char *, Step>> steps{
            {"loaded", [&](WindowDriver &) { d.load(a, "Journey.rca.xml"); }},
            {"wheel down", wheel(-3)},
            {"wheel up", wheel(1)},
            {"Shift+wheel", wheel(-4, Qt::ShiftModifier)},
            {"Ctrl+wheel in", wheel(2, Qt::ControlModifier)},
            {"Ctrl+minus", key(Qt::CTRL | Qt::Key_Minus)},
            {"Ctrl+minus again", key(Qt::CTRL | Qt::Key_Minus)},
            {"Ctrl+plus", key(Qt::CTRL | Qt::Key_Plus)},
            {"Ctrl+0", key(Qt::CTRL | Qt::Key_0)},
            {"Ctrl+Shift+F", key(Qt::CTRL | Qt::SHIFT | Qt::Key_F)},
            {"wider", resized(1000, 700)},
            {"smaller", resized(640, 420)},
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
            {"saved", press("btnSave")},
        };
        QStringList transcript;
        QMap<QString, QString> before = stateOf(d);
        for (auto it = before.begin(); it != before.end(); ++it)
            transcript << it.key() + ": " + it.value();
        for (const auto &[name, step] : steps) {
            step(d);
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
        compareWithRecorded(transcript, dataFile("recorded/journey.txt"));
    }
};

TESSIK_TEST(JourneyTest)

#include "journey_test.moc"
