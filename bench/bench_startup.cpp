// Start-up to the first painted window, and the memory in use then: the program itself, started
// as a user starts it (its recovery check, per-user files and all), against a minimal Qt Widgets
// program showing a window of the same size. Each run is a fresh process, started the same way
// for both, with a small library preloaded (startup/first_paint.cpp) that notes when the first
// paint is done and then ends the program as a desktop session would. The figure is from just
// before the process is started to the end of its first paint, on the same monotonic clock.
#include "bench_summary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

struct Run {
    bool ok = false;
    double milliseconds = 0;
    double mebibytes = 0;
    QStringList painted; // the objectNames of the widgets in the first paint
    QString problem;
};

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// A user's desktop of its own for both programs: home, data and runtime folders, headless
// unless a platform is chosen, and the first-paint library preloaded.
QProcessEnvironment desktopFor(const QString &root, const QString &report)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = root + QLatin1Char('/') + QString::fromLatin1(name);
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert(QString::fromLatin1(name), folder);
    }
    environment.remove(QStringLiteral("AppData"));
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString preload = environment.value(QStringLiteral("LD_PRELOAD"));
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FIRST_PAINT_LIBRARY) +
                                                         (preload.isEmpty() ? QString() : QLatin1Char(':') + preload));
    environment.insert(QStringLiteral("FIRST_PAINT_REPORT"), report);
    return environment;
}

Run startOnce(const QString &program, const QProcessEnvironment &environment)
{
    Run run;
    const QString report = environment.value(QStringLiteral("FIRST_PAINT_REPORT"));
    QFile::remove(report);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    const long long started = monotonicNanoseconds();
    process.start(program, {});
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        run.problem = QStringLiteral("did not end within 30 s of its start");
        return run;
    }
    QFile file(report);
    if (!file.open(QIODevice::ReadOnly)) {
        run.problem = QStringLiteral("painted nothing; its output: ") + QString::fromLocal8Bit(process.readAll());
        return run;
    }
    const QList<QByteArray> fields = file.readAll().trimmed().split(' ');
    run.milliseconds = double(fields.value(0).toLongLong() - started) / 1e6;
    run.mebibytes = fields.value(1).toDouble() / 1024.0;
    run.painted = QString::fromUtf8(fields.value(2)).split(QLatin1Char(','));
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        run.problem = QStringLiteral("ended with status %1 after its first paint; its output: %2")
                          .arg(process.exitCode())
                          .arg(QString::fromLocal8Bit(process.readAll()));
    run.ok = run.problem.isEmpty();
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct Series {
    const char *name;
    QString program;
    std::vector<double> milliseconds, mebibytes;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    const QProcessEnvironment desktop = desktopFor(root.path(), root.filePath(QStringLiteral("first-paint")));
    Series tessik{"Tessik", QStringLiteral(TESSIK_PROGRAM_FILE), {}, {}};
    Series minimal{"minimal window", QStringLiteral(MINIMAL_WINDOW_FILE), {}, {}};
    const int runs = 31;
    // A user's first session copies the sample analyses and ends by writing the history and
    // version files; every start after it is the ordinary one, which is what is timed. Each
    // program runs once untimed, so that both find their libraries in the page cache.
    for (int i = -1; i < runs; ++i) {
        // Alternate, so both see the same state of the machine.
        for (Series *series : {&tessik, &minimal}) {
            const Run run = startOnce(series->program, desktop);
            if (!run.ok) {
                std::fprintf(stderr, "%s %s\n", series->name, qPrintable(run.problem));
                return 1;
            }
            if (series == &tessik && !run.painted.contains(QStringLiteral("picDiagram"))) {
                std::fprintf(stderr, "Tessik's first paint did not show the diagram: %s\n",
                             qPrintable(run.painted.join(QLatin1Char(' '))));
                return 1;
            }
            if (i >= 0) {
                series->milliseconds.push_back(run.milliseconds);
                series->mebibytes.push_back(run.mebibytes);
            }
        }
    }
    for (const Series *series : {&tessik, &minimal})
        std::printf("%s: start to first paint, median of %d %.1f ms (fastest %.1f, slowest %.1f); resident memory "
                    "then %.1f MiB\n",
                    series->name, runs, median(series->milliseconds),
                    *std::min_element(series->milliseconds.begin(), series->milliseconds.end()),
                    *std::max_element(series->milliseconds.begin(), series->milliseconds.end()),
                    median(series->mebibytes));
    printSummary("start-up to first paint, the program vs a minimal Qt window", median(tessik.milliseconds),
                 median(minimal.milliseconds), "ms", 1.2);
    printSummary("resident memory at first paint, the program vs a minimal Qt window", median(tessik.mebibytes),
                 median(minimal.mebibytes), "MiB", 1.3);
    return 0;
}
