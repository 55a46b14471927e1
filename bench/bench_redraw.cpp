// A full redraw of the diagram: the work done after every change to the table. The worst case
// is a full table whose captions all wrap past the nine lines a box shows, on a maximised window.
#include "render/plot_diagram.h"
#include "render/plot_text.h"
#include "render/surface.h"

#include <QDir>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include "bench_qt_env.h"
#include "bench_summary.h"

#include <chrono>

using namespace tessik;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

const QString kLongCaption = QStringLiteral(
    "Inspection of the relief valve on the main feed line was postponed twice because the maintenance "
    "schedule had no slot for it and nobody owned the task after the reorganisation of the team in spring, "
    "so the corroded seat went unnoticed until the pressure test");

PixelMapping startupMapping()
{
    return PixelMapping::forStartupSize(980, 440);
}

// Ten rows of ten blocks over the whole drawing area, each linked to its left neighbour.
BlockTable fullTable(const QString &caption)
{
    static const char *categories[] = {"Physical Resources",
                                       "Structure/Process",
                                       "Information",
                                       "Knowledge and Skills",
                                       "Motives",
                                       "Wellness/Capacity",
                                       ""};
    BlockTable table;
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 10; ++column) {
            const int id = table.addBlock(float(5 + 13 * column), float(-16 + 10.5f * row));
            table.BlockText[size_t(id)] = caption;
            table.BlockCategory[size_t(id)] = QString::fromLatin1(categories[id % 7]);
            if (column > 0)
                table.BlockParent[size_t(id)] = std::int16_t(id - 1);
        }
    }
    return table;
}

Surface drawingArea()
{
    Surface surface(kWidth, kHeight);
    surface.setMapping(startupMapping());
    return surface;
}

double gFullRedraw = 0; // seconds

void BM_PlotDiagram_100Blocks_NineLineCaptions(benchmark::State &state)
{
    Surface surface = drawingArea();
    const BlockTable table = fullTable(kLongCaption);
    const DiagramColours colours;
    // The captions must really run past nine lines, or this measures the wrong case.
    const CaptionLines lines = wrapCaption(kLongCaption, captionMeasure(surface.textMetrics(), surface.mapping()));
    if (!lines.truncated) {
        state.SkipWithError("the caption does not wrap past nine lines");
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        PlotDiagram(surface, table, colours, QString());
        benchmark::DoNotOptimize(surface.image().constBits());
    }
    gFullRedraw =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / double(state.iterations());
}

// The same picture without captions: what is left is boxes, shadows and links.
void BM_PlotDiagram_100Blocks_NoCaptions(benchmark::State &state)
{
    Surface surface = drawingArea();
    const BlockTable table = fullTable(QString());
    const DiagramColours colours;
    for (auto _ : state) {
        PlotDiagram(surface, table, colours, QString());
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}

// One caption's wrapping as the boxes do it: every prefix measured through the surface.
void BM_WrapCaption_SurfaceWidth(benchmark::State &state)
{
    const Surface surface = drawingArea();
    std::int64_t measured = 0;
    for (auto _ : state) {
        const CaptionMeasure metrics = captionMeasure(surface.textMetrics(), surface.mapping());
        const CaptionLines lines = wrapCaption(kLongCaption, {[&](QChar c) {
                                                                  ++measured;
                                                                  return metrics.advance(c);
                                                              },
                                                              metrics.pixelsPerUnit});
        benchmark::DoNotOptimize(lines.lines.size());
    }
    state.counters["widths_per_caption"] = double(measured) / double(state.iterations());
}

// Printing the nine lines of one caption, without the wrapping.
void BM_PrintNineLines(benchmark::State &state)
{
    Surface surface = drawingArea();
    const CaptionLines lines = wrapCaption(kLongCaption, captionMeasure(surface.textMetrics(), surface.mapping()));
    for (auto _ : state) {
        surface.setCurrentY(0);
        for (const QString &line : lines.lines) {
            surface.setCurrentX(float(10 - surface.textWidth(line)) / 2);
            surface.print(line);
        }
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}

} // namespace

BENCHMARK(BM_PlotDiagram_100Blocks_NineLineCaptions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotDiagram_100Blocks_NoCaptions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrapCaption_SurfaceWidth)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PrintNineLines)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    useHeadlessQt();
    QGuiApplication app(argc, argv);
    if (!runBenchmarks(argc, argv))
        return 1;
    // "Instant" held against one frame of a 60 Hz display.
    if (gFullRedraw > 0)
        printSummary("full redraw, 100 blocks, nine-line captions, 1920x1080 vs one 60 Hz frame", gFullRedraw * 1e3,
                     1000.0 / 60, "ms", 1.0);
    return 0;
}
