// The smallest Qt Widgets program that shows something, for bench_startup to hold the program's
// start against: a "Hello" label in a window of the program's start-up size. It pays for the font
// system as any window with text must.
#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Hello"));
    window.resize(1000, 699);
    window.show();
    return app.exec();
}
