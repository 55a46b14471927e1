// The real program (its own start-up, platform services and window) driven from inside by the
// events a user's mouse and keyboard would send, for the tests that start it, kill it and start
// it again, or run two of it at once. It says what the window shows (and on stderr what each
// message box said), then idles until it is killed or has quit.
//   driven_tessik edit FILE   opens FILE as its command line would, and adds a captioned block
//   driven_tessik yes|no      answers the start-up question with that button
//   driven_tessik quit        answers every question with Yes, then quits
//   driven_tessik serve FILE  opens FILE, then does what each line of its input says and answers
//                             each message box as the line says (Enter when it does not say):
//     click X Y               a left click on the diagram, in diagram units
//     type BOX TEXT           the text typed into the control
//     enter BOX               Enter pressed in it
//     press BUTTON [ANSWER]   a click on the button; ANSWER is yes, no, enter or esc
//   and after each line prints what the window shows, the diagram's device pixel ratio, the
//   messages shown meanwhile, and DONE.
#include "app/ui/program.h"
#include "render/fonts.h"
#include "support/window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace tessik;

namespace {

// Answers the message box on show: with a click on the button, or with the key.
void answer(QMessageBox &box, const QString &how)
{
    if (how == "enter" || how == "esc")
        return QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box,
                               how == "enter" ? Qt::Key_Return : Qt::Key_Escape);
    const auto button = how == "yes" ? QMessageBox::Yes : QMessageBox::No;
    QTest::mouseClick(box.button(box.button(button) ? button : QMessageBox::Ok), Qt::LeftButton);
}

void runLine(test::WindowDriver &driver, const QStringList &words, QString &how)
{
    const QString command = words.value(0), name = words.value(1);
    if (command == "click")
        driver.clickDiagram(name.toFloat(), words.value(2).toFloat());
    else if (command == "type")
        driver.type(name, words.mid(2).join(' '));
    else if (command == "enter")
        driver.control(name)->setFocus(), driver.key(Qt::Key_Return);
    else if (command == "grab") { // what the control paints inside its frame, saved as a PNG
        QWidget *control = driver.control(name);
        control->grab(control->contentsRect()).toImage().save(words.value(2), "PNG");
    } else if (command == "press")
        how = words.value(2, "enter"), driver.click(name);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tessik::nameArialStandIn(); // as the program starts
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QString how = mode == "yes" || mode == "no" ? mode : mode == "quit" ? "yes" : mode == "edit" ? "no" : "enter";
    int questions = 0;
    QStringList shown;
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        ++questions;
        std::fprintf(stderr, "%s\n", qPrintable(box->text()));
        shown << box->text().replace("\r\n", " / ");
        answer(*box, how);
    });
    answering.start(50);
    Program program;
    program.start(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString());
    test::WindowDriver driver(program.window());
    const auto report = [&] {
        std::printf("QUESTIONS %d\n%s\n", questions, qPrintable(driver.summary().join('\n')));
        if (mode == "serve")
            std::printf("RATIO %g\n", driver.diagramSurface().devicePixelRatio());
        for (const QString &message : shown)
            std::printf("MESSAGE %s\n", qPrintable(message));
        std::printf("%s\n", mode == "serve" ? "DONE" : "STARTED");
        std::fflush(stdout);
        questions = 0;
        shown.clear();
    };
    if (mode == "edit")
        test::run(driver, {test::at(20, 0), test::type("txtText", "Survives a kill"), test::press("btnImplement")});
    report();
    if (mode == "quit")
        QTimer::singleShot(0, &app, [&driver] { driver.click("btnQuit"); });
    QByteArray input;
    QSocketNotifier lines(STDIN_FILENO, QSocketNotifier::Read);
    lines.setEnabled(mode == "serve");
    QObject::connect(&lines, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            lines.setEnabled(false);
            return;
        }
        input.append(buffer, qsizetype(got));
        for (qsizetype end = input.indexOf('\n'); end >= 0; end = input.indexOf('\n')) {
            const QString line = QString::fromUtf8(input.left(end));
            input.remove(0, end + 1);
            runLine(driver, line.split(' '), how);
            report();
        }
    });
    return app.exec();
}
