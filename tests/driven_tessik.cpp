// The real program (its own start-up, platform services and window) driven from inside by the
// events a user's mouse and keyboard would send, for the recovery test, which starts it, kills
// it and starts it again. It says what the window shows, then idles until it is killed.
//   driven_tessik edit FILE  opens FILE as its command line would, and adds a captioned block
//   driven_tessik yes|no     answers the start-up question with that button
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
    // Answers every message box the start-up shows with a click on a button, as a user would.
    int questions = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        const auto button = mode == "yes" ? QMessageBox::Yes : QMessageBox::No;
        if (box && box->isVisible() && ++questions)
            QTest::mouseClick(box->button(box->button(button) ? button : QMessageBox::Ok), Qt::LeftButton);
    });
    answer.start(50);
    Program program;
    program.start(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString());
    answer.stop();
    test::WindowDriver driver(program.window());
    if (mode == "edit")
        test::run(driver, {test::at(20, 0), test::type("txtText", "Survives a kill"), test::press("btnImplement")});
    std::printf("QUESTIONS %d\n%s\nSTARTED\n", questions, qPrintable(driver.summary().join('\n')));
    std::fflush(stdout);
    return app.exec();
}
