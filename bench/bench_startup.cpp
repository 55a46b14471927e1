// Start-up to the first painted window, and the memory in use then, for Tessik and for a
// minimal Qt window of the same size. Each run is a fresh process, started by this program
// in probe mode, so the whole cost of starting is in the figure.
#include "app/ui/main_window.h"
#include "bench_summary.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Reports once, at the first paint of the watched widget, then ends the process.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, [] {
                std::printf("painted %ld\n", residentKilobytes());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

enum class Probe { Minimal, Tessik, Session };

// Both probes end the same way, at once after their first paint: the figure is the start-up
// alone, with no tear-down on either side (and no per-user files written by Tessik: a probe is
// not a user's session). A session ends as the user's does, writing them.
int probe(int argc, char **argv, Probe kind)
{
    QApplication app(argc, argv);
    FirstPaint watcher;
    if (kind != Probe::Minimal) {
        tessik::QtPlatform platform;
        tessik::MainWindow window(platform);
        platform.setDialogParent(&window);
        window.findChild<QWidget *>(QStringLiteral("picDiagram"))->installEventFilter(&watcher);
        window.show();
        const int result = app.exec();
        if (kind == Probe::Session)
            window.close();
        std::_Exit(result);
    }
    // The smallest window that shows something: a "hello" label, as every first Qt program
    // has. It pays for the font system as any window with text must.
    QLabel window(QStringLiteral("Hello"));
    window.resize(1000, 699);
    window.installEventFilter(&watcher);
    window.show();
    std::_Exit(app.exec());
}

struct Run {
    double milliseconds = 0;
    long kilobytes = 0;
};

Run runProbe(const QString &self, const QString &kind, const QString &appData)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("AppData"), appData);
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(self, {QStringLiteral("--probe=") + kind});
    process.waitForFinished(30000);
    Run run;
    run.milliseconds = double(timer.nsecsElapsed()) / 1e6;
    const QByteArray out = process.readAllStandardOutput();
    const int at = out.indexOf("painted ");
    if (at >= 0)
        run.kilobytes = out.mid(at + 8).trimmed().toLong();
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--probe=tessik") == 0)
            return probe(argc, argv, Probe::Tessik);
        if (std::strcmp(argv[i], "--probe=session") == 0)
            return probe(argc, argv, Probe::Session);
        if (std::strcmp(argv[i], "--probe=minimal") == 0)
            return probe(argc, argv, Probe::Minimal);
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir appData;
    const QString self = QCoreApplication::applicationFilePath();
    const int runs = 31;
    std::vector<double> tessikTimes, minimalTimes, tessikMemory, minimalMemory;
    // A user's first session copies the sample analyses (each written safely, that is synced to
    // disk) and ends by writing the history and version files; every start after it is the
    // ordinary one, which is what is timed.
    runProbe(self, QStringLiteral("session"), appData.path());
    for (int i = 0; i < runs; ++i) {
        // Alternate, so both see the same state of the machine.
        const Run t = runProbe(self, QStringLiteral("tessik"), appData.path());
        const Run m = runProbe(self, QStringLiteral("minimal"), appData.path());
        tessikTimes.push_back(t.milliseconds);
        minimalTimes.push_back(m.milliseconds);
        tessikMemory.push_back(double(t.kilobytes) / 1024.0);
        minimalMemory.push_back(double(m.kilobytes) / 1024.0);
    }
    std::printf("start-up to first paint, median of %d: Tessik %.1f ms, minimal window %.1f ms\n", runs,
                median(tessikTimes), median(minimalTimes));
    std::printf("resident memory at first paint: Tessik %.1f MiB, minimal window %.1f MiB\n", median(tessikMemory),
                median(minimalMemory));
    printSummary("start-up to first paint", median(tessikTimes), median(minimalTimes), "ms", 1.3);
    printSummary("resident memory after start-up", median(tessikMemory), median(minimalMemory), "MiB", 1.3);
    return 0;
}
