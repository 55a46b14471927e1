// One frame of the animation's fade at 1920 x 1080: the blend of the new picture onto the
// visible one plus the immediate repaint of the widget that shows it. Thirty frames run per
// step on top of 30 x 50 ms of pauses; the frame work should add at most 5 % to that.
#include "app/ui/surface_view.h"
#include "render/animation.h"
#include "render/plot_diagram.h"

#include <QApplication>
#include <QDir>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "bench_clock.h"
#include "bench_qt_env.h"
#include "bench_summary.h"

using namespace tessik;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr double kStepPauses = 30 * 0.050; // seconds of pauses in one step

// A 60-block diagram over a maximised window: ten columns of six, each block linked to one in
// the column to its left, captions and categories varied. The unit size is that of a window
// started at its usual size.
BlockTable sixtyBlocks()
{
    static const char *categories[] = {"Physical Resources",
                                       "Structure/Process",
                                       "Information",
                                       "Knowledge and Skills",
                                       "Motives",
                                       "Wellness/Capacity",
                                       ""};
    BlockTable table;
    for (int column = 0; column < 10; ++column) {
        for (int row = 0; row < 6; ++row) {
            const int id = table.addBlock(float(5 + 13 * column), float(-15 + 17 * row));
            table.setCaption(id, QStringLiteral("Cause %1 in step %2 of the process").arg(id).arg(column));
            table.setCategory(id, QString::fromLatin1(categories[id % 7]));
            if (column > 0)
                table.link(id, std::int16_t(id - 6 + (row % 2 == 0 && row > 0 ? -1 : 0)));
        }
    }
    return table;
}

PixelMapping startupMapping()
{
    return PixelMapping::forStartupSize(980, 440);
}

struct Scene {
    BlockTable table = sixtyBlocks();
    DiagramColours colours;
    Surface before{kWidth, kHeight}; // the whole diagram, as on screen before a step
    Surface after{kWidth, kHeight};  // a step in the middle of a run
    Surface empty{kWidth, kHeight};  // the first step of a run

    Scene()
    {
        for (Surface *s : {&before, &after, &empty})
            s->setMapping(startupMapping());
        PlotDiagram(before, table, colours, QString());
        AnimationState state;
        for (int click = 0; click < 4; ++click)
            state.step(table, AnimationDirection::Backward);
        drawDiagram(after, table, colours, [&](int id) { return state.lookOf(id); });
    }
};

Scene &scene()
{
    static Scene s;
    return s;
}

// The widget the diagram is shown in, repainted at once after each frame.
SurfaceView &view()
{
    static SurfaceView *v = [] {
        auto *widget = new SurfaceView;
        widget->setFollowsSize(false);
        widget->resize(kWidth + 4, kHeight + 4);
        widget->surface().resize(kWidth, kHeight);
        widget->surface().setMapping(startupMapping());
        widget->show();
        QCoreApplication::processEvents();
        return widget;
    }();
    return *v;
}

// The frame's cost and what 30 of them add to the pauses of a step.
void reportFrames(const FrameClock &clock, benchmark::State &state, double *wallPerFrame = nullptr)
{
    if (wallPerFrame)
        *wallPerFrame = clock.wallMs() / 1e3;
    clock.report(state);
    state.counters["overhead_%"] = 100.0 * 30 * clock.cpuMs() / 1e3 / kStepPauses;
}

// A whole fade per iteration, as a step does it: 30 blends with alpha 1, 3, ..., 59, each
// followed by the real repaint. The picture on screen is put back between fades, untimed.
double gMidRunFrameWall = 0;
double gNewRunFrameWall = 0;

void fadeFrames(benchmark::State &state, const Surface &from, const Surface &to, bool repaint,
                double *wallPerFrame = nullptr)
{
    Surface &diagram = view().surface();
    FrameClock clock;
    for (auto _ : state) {
        state.PauseTiming();
        diagram.setImage(from.image());
        state.ResumeTiming();
        clock.time(30, [&] {
            for (int alpha = 1; alpha < 60; alpha += 2) {
                diagram.blendFrom(to, alpha);
                if (repaint)
                    diagram.refresh();
            }
        });
    }
    reportFrames(clock, state, wallPerFrame);
}

void BM_FadeFrame_MidRun(benchmark::State &state)
{
    fadeFrames(state, scene().before, scene().after, true, &gMidRunFrameWall);
}
void BM_FadeFrame_NewRun(benchmark::State &state)
{
    fadeFrames(state, scene().before, scene().empty, true, &gNewRunFrameWall);
}
void BM_FadeFrame_BlendOnly(benchmark::State &state)
{
    fadeFrames(state, scene().before, scene().after, false);
}

void BM_FadeFrame_RepaintOnly(benchmark::State &state)
{
    Surface &diagram = view().surface();
    FrameClock clock;
    for (auto _ : state) {
        // A refresh repaints what changed: as after a blend, the whole picture.
        state.PauseTiming();
        diagram.setImage(scene().before.image());
        state.ResumeTiming();
        clock.time(1, [&] { diagram.refresh(); });
    }
    reportFrames(clock, state);
}

// The repaint as it would be if the view did not first fill the area its picture covers anyway
// with white: for comparison with BM_FadeFrame_RepaintOnly.
class PlainView : public QWidget {
public:
    const QImage *image = nullptr;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, *image);
    }
};

void BM_Repaint_WithoutBackgroundFill(benchmark::State &state)
{
    static PlainView *v = [] {
        auto *w = new PlainView;
        w->setAttribute(Qt::WA_OpaquePaintEvent);
        w->image = &scene().before.image();
        w->resize(kWidth, kHeight);
        w->show();
        QCoreApplication::processEvents();
        return w;
    }();
    FrameClock clock;
    for (auto _ : state)
        clock.time(1, [&] { v->repaint(); });
    reportFrames(clock, state);
}
BENCHMARK(BM_Repaint_WithoutBackgroundFill)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK(BM_FadeFrame_MidRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FadeFrame_NewRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FadeFrame_BlendOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FadeFrame_RepaintOnly)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    useHeadlessQt();
    QApplication app(argc, argv);
    if (!runBenchmarks(argc, argv))
        return 1;
    // A step's cost beside its pauses: 30 frames of blend and repaint against 30 x 50 ms.
    if (gMidRunFrameWall > 0)
        printSummary("replay step at 1920x1080: 30 fade frames vs the 1.5 s of pauses", 30 * gMidRunFrameWall * 1e3,
                     kStepPauses * 1e3, "ms", 0.05);
    return 0;
}
