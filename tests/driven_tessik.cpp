// The real program (its own start-up, platform services and window) driven from inside by the
// events a user's mouse and keyboard would send, for the tests that start it, kill it and start
// it again. It says what the window shows (and on stderr what each message box said), then idles
// until it is killed or has quit.
//   driven_tessik edit FILE  opens FILE as its command line would, and adds a captioned block
//   driven_tessik yes|no     answers the start-up question with that button
//   driven_tessik quit       answers every question with Yes, then quits
#include "app/ui/program.h"
#include "support/window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

using namespace tessik;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    // Answers every message box with a click on a button, as a user would.
    int questions = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        const auto button = mode == "no" || mode == "edit" ? QMessageBox::No : QMessageBox::Yes;
        if (!box || !box->isVisible())
            return;
        ++questions;
        std::fprintf(stderr, "%s\n", qPrintable(box->text()));
        QTest::mouseClick(box->button(box->button(button) ? button : QMessageBox::Ok), Qt::LeftButton);
    });
    answer.start(50);
    Program program;
    program.start(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString());
    test::WindowDriver driver(program.window());
    if (mode == "edit")
        test::run(driver, {test::at(20, 0), test::type("txtText", "Survives a kill"), test::press("btnImplement")});
    std::printf("QUESTIONS %d\n%s\nSTARTED\n", questions, qPrintable(driver.summary().join('\n')));
    std::fflush(stdout);
    if (mode == "quit")
        QTimer::singleShot(0, driver.control("btnQuit"), [&driver] { driver.click("btnQuit"); });
    return app.exec();
}
