// The report of the heaviest analysis a user can make: 100 blocks, each with 60 KB of notes in
// lines of about a hundred characters, read from its file and written as a PDF, as
// `tessik --report` does. Targets: under 2 s, and under 300 MiB of resident memory at the peak.
// Held also against the least a PDF of that text costs with the same PDF engine: every notes line
// drawn once with drawText, 60 lines a page, nothing laid out, on one thread.
//
// A report this long is made in two parts by two threads, so its rows are wall-clock time (the
// time of the thread that starts it would leave the other's out): run them on an idle machine.
#include "app/core/picture_export.h"
#include "app/core/report/report_file.h"
#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/safe_write.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench_clock.h"
#include "bench_qt_env.h"
#include "bench_summary.h"

using namespace tessik;

namespace {

constexpr int kNotesBytes = 60 * 1024;
constexpr double kBudgetSeconds = 2.0;
constexpr double kBudgetMiB = 300.0;

QString notesOf(int id)
{
    static const QString line = QStringLiteral(
        "Technology: the seal flush on pump %1 was closed after the last overhaul and nobody checked it. ");
    QString notes;
    for (int n = 0; notes.size() < kNotesBytes; ++n)
        notes += line.arg(id) + QString::number(n) + QStringLiteral("\r\n");
    return notes;
}

// Ten rows of ten blocks, each linked to its left neighbour.
Analysis heaviestAnalysis()
{
    Analysis a;
    a.description = QStringLiteral("Pump P-101 failed during the night shift");
    a.email = QStringLiteral("jmeyer");
    a.office = QStringLiteral("Plant North");
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 10; ++column) {
            const int id = a.table.addBlock(float(5 + 13 * column), float(-16 + 12 * row));
            a.table.setCaption(id, QStringLiteral("Cause %1 in row %2").arg(column).arg(row));
            a.table.setNotes(id, notesOf(id));
            a.table.setCategory(id, QStringLiteral("Information"));
            if (column > 0)
                a.table.link(id, std::int16_t(id - 1));
        }
    }
    return a;
}

// The most resident memory since the last reset, in MiB; the reset makes it the peak of what
// follows rather than of the whole run.
double peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

FrameClock gReport;
FrameClock gPlainText;
double gPeakMiB = 0;

void BM_ReportPdf_100Blocks_60KBNotes(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString in = folder.filePath(QStringLiteral("Heaviest.rca.xml"));
    const QString out = folder.filePath(QStringLiteral("Heaviest.pdf"));
    if (!writeFileSafely(in, writeAnalysis(heaviestAnalysis())).ok) {
        state.SkipWithError("the analysis could not be written");
        return;
    }
    resetPeak();
    for (auto _ : state) {
        gReport.time(1, [&] {
            const ReadOutcome read = readAnalysisFile(in);
            const ReportInput input{
                read.analysis, DiagramColours(), startupMapping(), in, std::nullopt, QDateTime::currentDateTime()};
            if (!read.ok || !writeReport(out, input).ok)
                state.SkipWithError("the report could not be written");
        });
    }
    gPeakMiB = peakMiB();
    gReport.report(state);
    state.counters["peak_MiB"] = gPeakMiB;
    state.counters["pdf_MiB"] = double(QFileInfo(out).size()) / (1024.0 * 1024.0);
}

void BM_PlainTextPdf_SameNotes(benchmark::State &state)
{
    const Analysis analysis = heaviestAnalysis();
    for (auto _ : state) {
        gPlainText.time(1, [&] {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            QPainter painter(&writer);
            QFont font(QStringLiteral("Arial"));
            font.setPointSizeF(10);
            painter.setFont(font);
            const double lineHeight = writer.resolution() * 12 / 72.0;
            int line = 0;
            for (int id : analysis.table.liveIds()) {
                for (const QString &text : analysis.table.block(id).notes.split(QStringLiteral("\r\n"))) {
                    if (line > 0 && line % 60 == 0)
                        writer.newPage();
                    painter.drawText(QPointF(0, (line % 60 + 1) * lineHeight), text);
                    ++line;
                }
            }
            painter.end();
            benchmark::DoNotOptimize(bytes.size());
        });
    }
    gPlainText.report(state);
}

} // namespace

BENCHMARK(BM_ReportPdf_100Blocks_60KBNotes)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTextPdf_SameNotes)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    useHeadlessQt();
    QGuiApplication app(argc, argv);
    if (!runBenchmarks(argc, argv))
        return 1;
    if (gReport.frames > 0) {
        printSummary("PDF report, 100 blocks with 60 KB of notes each (wall clock) vs 2 s", gReport.wallMs() / 1000,
                     kBudgetSeconds, "s", 1.0);
        if (gPlainText.frames > 0)
            printSummary("the same PDF report (wall clock) vs its notes drawn line by line into a PDF",
                         gReport.wallMs() / 1000, gPlainText.wallMs() / 1000, "s", 2.0);
        printSummary("PDF report, 100 blocks with 60 KB of notes each: peak resident memory vs 300 MiB", gPeakMiB,
                     kBudgetMiB, "MiB", 1.0);
    }
    return 0;
}
