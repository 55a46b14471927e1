// A full redraw of the diagram: the work done after every change to the table. The worst case
// is a full table whose captions all wrap past the nine lines a box shows, on a maximised window,
// at one and at two device pixels per pixel (a high-density screen). Also the caption that used
// to take seconds: thousands of characters of no width, which all fit on one line.
#include "render/plot_diagram.h"
#include "render/plot_text.h"
#include "render/surface.h"

#include <QDir>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include "bench_clock.h"
#include "bench_qt_env.h"
#include "bench_summary.h"

using namespace tessik;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr double kFrameMs = 1000.0 / 60;

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
            table.setCaption(id, caption);
            table.setCategory(id, QString::fromLatin1(categories[id % 7]));
            if (column > 0)
                table.link(id, std::int16_t(id - 1));
        }
    }
    return table;
}

Surface drawingArea(qreal ratio)
{
    Surface surface;
    surface.setDevicePixelRatio(ratio);
    surface.resize(kWidth, kHeight);
    surface.setMapping(startupMapping());
    return surface;
}

FrameClock gRedraw[3]; // by device pixel ratio

// state.range(0): the device pixel ratio.
void BM_PlotDiagram_100Blocks_NineLineCaptions(benchmark::State &state)
{
    const int ratio = int(state.range(0));
    Surface surface = drawingArea(ratio);
    const BlockTable table = fullTable(kLongCaption);
    const DiagramColours colours;
    // The captions must really run past nine lines, or this measures the wrong case.
    const CaptionLines lines = wrapCaption(kLongCaption, captionMeasure(surface.textMetrics(), surface.mapping()));
    if (!lines.truncated) {
        state.SkipWithError("the caption does not wrap past nine lines");
        return;
    }
    FrameClock &clock = gRedraw[ratio];
    for (auto _ : state) {
        clock.time(1, [&] { PlotDiagram(surface, table, colours, QString()); });
        benchmark::DoNotOptimize(surface.image().constBits());
    }
    clock.report(state);
}

// The same picture without captions: what is left is boxes, shadows and links.
void BM_PlotDiagram_100Blocks_NoCaptions(benchmark::State &state)
{
    Surface surface = drawingArea(qreal(state.range(0)));
    const BlockTable table = fullTable(QString());
    const DiagramColours colours;
    for (auto _ : state) {
        PlotDiagram(surface, table, colours, QString());
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}

// One caption's wrapping as the boxes do it, each character's advance summed once.
void BM_WrapCaption(benchmark::State &state)
{
    const Surface surface = drawingArea(1);
    const CaptionMeasure measure = captionMeasure(surface.textMetrics(), surface.mapping());
    std::int64_t measured = 0;
    const CaptionMeasure counting{[&](QChar c) {
                                      ++measured;
                                      return measure.advance(c);
                                  },
                                  measure.pixelsPerUnit};
    for (auto _ : state) {
        const CaptionLines lines = wrapCaption(kLongCaption, counting);
        benchmark::DoNotOptimize(lines.lines.size());
    }
    state.counters["advances_per_caption"] = double(measured) / double(state.iterations());
}

// A caption of state.range(0) characters of no width in one box, wrapped and printed as a redraw
// does it: zero-width spaces, or (state.range(1)) a variation selector the caption font lacks.
// All of it fits one line; twice the characters should cost twice the time.
FrameClock gZeroWidth[3];

void BM_PlotText_ZeroWidthCaption(benchmark::State &state)
{
    Surface surface = drawingArea(2);
    BlockTable table;
    const int id = table.addBlock(10, 0);
    const bool lacking = state.range(1) != 0;
    table.setCaption(id, QString(qsizetype(state.range(0)), QChar(lacking ? 0xfe0f : 0x200b)));
    FrameClock &clock = gZeroWidth[lacking ? 2 : state.range(0) == 20000 ? 0 : 1];
    for (auto _ : state) {
        clock.time(1, [&] { PlotText(surface, table, id); });
        benchmark::DoNotOptimize(surface.image().constBits());
    }
    clock.report(state);
}

// Printing the nine lines of one caption, without the wrapping.
void BM_PrintNineLines(benchmark::State &state)
{
    Surface surface = drawingArea(qreal(state.range(0)));
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

BENCHMARK(BM_PlotDiagram_100Blocks_NineLineCaptions)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotDiagram_100Blocks_NoCaptions)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrapCaption)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlotText_ZeroWidthCaption)
    ->Args({20000, 0})
    ->Args({40000, 0})
    ->Args({20000, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PrintNineLines)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    useHeadlessQt();
    QGuiApplication app(argc, argv);
    if (!runBenchmarks(argc, argv))
        return 1;
    // "Instant" held against one frame of a 60 Hz display.
    for (int ratio : {1, 2})
        if (gRedraw[ratio].frames > 0)
            printSummary("full redraw, 100 blocks, nine-line captions, 1920x1080, ratio " + std::to_string(ratio) +
                             " (CPU) vs one 60 Hz frame",
                         gRedraw[ratio].cpuMs(), kFrameMs, "ms", 1.0);
    if (gZeroWidth[0].frames > 0) {
        printSummary("caption of 20,000 zero-width characters, wrap and print (CPU) vs one 60 Hz frame",
                     gZeroWidth[0].cpuMs(), kFrameMs, "ms", 0.1);
        if (gZeroWidth[1].frames > 0)
            printSummary("the same caption twice as long vs twice the time (linear time)", gZeroWidth[1].cpuMs(),
                         2 * gZeroWidth[0].cpuMs(), "ms", 1.25);
    }
    if (gZeroWidth[2].frames > 0)
        printSummary("caption of 20,000 variation selectors the font lacks (CPU) vs one 60 Hz frame",
                     gZeroWidth[2].cpuMs(), kFrameMs, "ms", 1.0);
    return 0;
}
