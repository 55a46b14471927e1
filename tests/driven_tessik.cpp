// The real program (its own start-up, platform services and window) driven from inside by the
// events a user's mouse and keyboard would send, for the recovery test, which starts it, kills
// it and starts it again. It reports on standard output and then idles until it is killed.
//   driven_tessik edit       adds a captioned block and types a description, then says EDITED
//   driven_tessik yes|no     answers the start-up question with that button, then says what it shows
#include "app/ui/program.h"
#include "support/gui_driver.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace tessik;

namespace {

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void edit(frmKelvane &w)
{
    test::clickDiagram(w, Qt::LeftButton, 20, 0);
    test::typeText(w.txtText, QStringLiteral("Survives a kill"));
    test::pressEnter(w.txtText);
    test::typeText(w.txtDescription, QStringLiteral("Crash test"));
    say(QStringLiteral("EDITED"));
}

void report(frmKelvane &w, int questions)
{
    say(QStringLiteral("QUESTIONS %1").arg(questions));
    say(QStringLiteral("TITLE %1").arg(w.windowTitle()));
    say(QStringLiteral("DESCRIPTION %1").arg(w.txtDescription->text()));
    for (int id = 1; id <= w.table().BlockCount; ++id)
        if (w.table().isLive(id))
            say(QStringLiteral("BLOCK %1").arg(w.table().BlockText[id]));
    say(QStringLiteral("STARTED"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    // Answers every message box the start-up shows with a click on the button, as a user would.
    int questions = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        ++questions;
        const auto button = mode == QLatin1String("yes") ? QMessageBox::Yes : QMessageBox::No;
        QTest::mouseClick(box->button(box->button(button) ? button : QMessageBox::Ok), Qt::LeftButton);
    });
    answer.start(50);

    Program program;
    program.start();
    answer.stop();
    frmKelvane &w = program.window();
    if (mode == QLatin1String("edit"))
        edit(w);
    else
        report(w, questions);
    return app.exec();
}
