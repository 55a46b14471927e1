// What `tessik --export OUT.png --scale 4` costs: drawing and encoding the PNG of 100 blocks
// spread over a picture of about 4,700 by 3,900 pixels, against a budget of 250 ms.
#include "app/core/picture_export.h"
#include "bench_clock.h"
#include "bench_qt_env.h"
#include "bench_summary.h"

#include <QGuiApplication>
#include <QImage>

namespace {

using namespace tessik;

constexpr double kBudgetMs = 250;
constexpr double kScale = 4;

// Ten rows of ten captioned blocks, each a cause of the one to its left.
BlockTable spreadBlocks()
{
    BlockTable table;
    for (int i = 0; i < kMaxBlocks; ++i) {
        const int id = table.addBlock(float(i % 10) * 12.9f, float(i / 10) * 10.6f - 40);
        table.setCaption(id, QStringLiteral("Cause number %1 of the line stop").arg(id));
        table.setCategory(id, QStringLiteral("Information"));
        if (i % 10 != 0)
            table.link(id, std::int16_t(id - 1));
    }
    return table;
}

FrameClock gExport;

void BM_ExportPngAtScale4(benchmark::State &state)
{
    const BlockTable table = spreadBlocks();
    const DiagramScene scene{table, DiagramColours(), startupMapping(), QStringLiteral("Line stop")};
    QByteArray last;
    for (auto _ : state)
        gExport.time(1, [&] {
            const EncodedFile png = encodePicture(PictureFormat::Png, scene, kScale);
            if (!png.ok)
                state.SkipWithError("the PNG could not be made");
            last = png.bytes;
        });
    gExport.report(state);
    const QImage picture = QImage::fromData(last, "PNG");
    state.counters["width"] = picture.width();
    state.counters["height"] = picture.height();
}

} // namespace

BENCHMARK(BM_ExportPngAtScale4)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    useHeadlessQt();
    QGuiApplication app(argc, argv);
    if (!runBenchmarks(argc, argv))
        return 1;
    // The picture is drawn on several threads: all of their time counts.
    printSummary("--export PNG at scale 4, 100 blocks, about 4700x3900 (CPU, every thread) vs 250 ms",
                 gExport.processMs(), kBudgetMs, "ms", 1.0);
    return 0;
}
