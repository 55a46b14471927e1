// Preloaded (LD_PRELOAD) into a program that bench_startup starts: once the program's first
// paint has been done, writes the time, the resident memory and the names of the widgets painted
// to the file named by FIRST_PAINT_REPORT, and asks the program to quit as a desktop session
// would. The program itself is not changed, and this works on every Qt platform.
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

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

// Every widget painted in the first paint is noted; the report follows once the event loop
// comes back, that is when the whole window has been painted.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && !m_reported) {
            m_painted << (watched->objectName().isEmpty() ? QStringLiteral("-") : watched->objectName());
            if (m_painted.size() == 1)
                QTimer::singleShot(0, this, &FirstPaint::report);
        }
        return false;
    }

private:
    void report()
    {
        const long long at = monotonicNanoseconds();
        m_reported = true;
        if (FILE *out = std::fopen(qgetenv("FIRST_PAINT_REPORT").constData(), "w")) {
            std::fprintf(out, "%lld %ld %s\n", at, residentKilobytes(), qPrintable(m_painted.join(QLatin1Char(','))));
            std::fclose(out);
        }
        QCoreApplication::quit();
    }

    QStringList m_painted;
    bool m_reported = false;
};

void watchFirstPaint()
{
    if (!qEnvironmentVariableIsEmpty("FIRST_PAINT_REPORT"))
        QCoreApplication::instance()->installEventFilter(new FirstPaint);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchFirstPaint)
