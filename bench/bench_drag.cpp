// A right-button drag in the real window on a screen of device pixel ratio 2, its diagram
// 1920 x 1080 pixels with a full table: the cost of one pointer move, from the mouse event to
// the repainted widget (the old mark erased, the new one drawn, the changed pixels repainted).
// The window is reached as a user reaches it: its controls by their names, the table by Load.
#include "app/ui/main_window.h"
#include "app/ui/surface_view.h"
#include "files/analysis_writer.h"
#include "platform/fake/fake_platform.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench_clock.h"
#include "bench_qt_env.h"
#include "bench_summary.h"

using namespace tessik;

namespace {

constexpr int kDiagramWidth = 1920;
constexpr int kDiagramHeight = 1080;
constexpr double kMoveBudgetMs = 2.0;

// Ten rows of ten captioned blocks, each linked to its left neighbour, over the visible area.
Analysis fullTable()
{
    Analysis analysis;
    analysis.description = QStringLiteral("Line 3 stopped");
    BlockTable &table = analysis.table;
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 10; ++column) {
            const int id = table.addBlock(float(5 + 13 * column), float(-16 + 10.5f * row));
            table.setCaption(id, QStringLiteral("Cause %1 in row %2 of the diagram").arg(id).arg(row));
            table.setCategory(id, QStringLiteral("Motives"));
            if (column > 0)
                table.link(id, id - 1);
        }
    return analysis;
}

struct Window {
    QTemporaryDir folder;
    FakePlatform platform;
    std::unique_ptr<MainWindow> window;
    SurfaceView *diagram = nullptr;

    Window()
    {
        platform.environment.insert(QStringLiteral("AppData"), folder.path());
        platform.home = folder.path();
        platform.program = folder.path();
        platform.current = folder.path();
        window = std::make_unique<MainWindow>(platform);
        window->show();
        diagram = window->findChild<SurfaceView *>(QStringLiteral("picDiagram"));
        const QWidget *commands = window->findChild<QWidget *>(QStringLiteral("frameControl"));
        // The diagram takes the window less the margins and the command panel.
        const int border = 2 * diagram->frameWidth();
        window->resize(kDiagramWidth + 20 + border, kDiagramHeight + commands->height() + 20 + border);
        const QString file = folder.filePath(QStringLiteral("Full.rca.xml"));
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(writeAnalysis(fullTable()));
        out.close();
        platform.fileAnswers.enqueue(file);
        window->findChild<QPushButton *>(QStringLiteral("btnLoadXML"))->click();
        QCoreApplication::processEvents();
    }

    void send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, float x, float y)
    {
        const PixelMapping &m = diagram->surface().mapping();
        const QPointF at = QPointF(m.ScaleToPixelsX(x), m.ScaleToPixelsY(y)) + diagram->contentsRect().topLeft();
        QMouseEvent event(type, at, diagram->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(diagram, &event);
    }
};

// Counts the diagram's paint events and the pixels they cover, to show what a move repaints.
struct PaintCount : QObject {
    std::int64_t paints = 0;
    std::int64_t pixels = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const QRect area = static_cast<QPaintEvent *>(event)->rect();
            ++paints;
            pixels += std::int64_t(area.width()) * area.height();
        }
        return false;
    }
};

FrameClock gMoves;

// Made on first use, ended before the application object.
std::unique_ptr<Window> gWindow;

Window &window()
{
    if (!gWindow)
        gWindow = std::make_unique<Window>();
    return *gWindow;
}

// Block 1 picked up with the right button and dragged about: over empty space right of the
// blocks the outline follows (erase one outline, draw another: the costliest move), once in a
// while over another block, where the link circle shows.
void dragMoves(benchmark::State &state, FrameClock &clock)
{
    Window &w = window();
    const Surface &surface = w.diagram->surface();
    if (surface.devicePixelRatio() != 2 || surface.pixelWidth() != kDiagramWidth) {
        state.SkipWithError("the diagram is not 1920 x 1080 at ratio 2");
        return;
    }
    w.send(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, 7, -14);
    PaintCount count;
    w.diagram->installEventFilter(&count);
    const float path[][2] = {{150, 20}, {154, 22}, {158, 24}, {162, 26}, {24, 10}, {166, 28}};
    std::int64_t step = 0;
    for (auto _ : state) {
        clock.time(1, [&] {
            const auto &[x, y] = path[step++ % std::size(path)];
            w.send(QEvent::MouseMove, Qt::NoButton, Qt::RightButton, x, y);
        });
    }
    w.diagram->removeEventFilter(&count);
    w.send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, 7, -14);
    if (count.paints == 0) {
        state.SkipWithError("the moves drew nothing: the press picked up no block");
        return;
    }
    clock.report(state);
    state.counters["repaints_per_move"] = double(count.paints) / double(state.iterations());
    state.counters["pixels_per_move"] = double(count.pixels) / double(state.iterations());
}

void BM_DragMove(benchmark::State &state)
{
    dragMoves(state, gMoves);
}

// For comparison: the same moves if every refresh repainted the whole diagram. It replaces the
// view's own listener for good, so it is registered last.
void BM_DragMove_RepaintingEverything(benchmark::State &state)
{
    SurfaceView *view = window().diagram;
    view->surface().setRefreshListener([view](const QRect &) { view->repaint(); });
    FrameClock clock;
    dragMoves(state, clock);
}

} // namespace

BENCHMARK(BM_DragMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragMove_RepaintingEverything)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    useHeadlessQt();
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    const bool ran = runBenchmarks(argc, argv);
    gWindow.reset();
    if (!ran)
        return 1;
    if (gMoves.frames > 0)
        printSummary("drag move, ratio 2, 1920x1080, 100 blocks (CPU) vs 2 ms", gMoves.cpuMs(), kMoveBudgetMs, "ms",
                     1.0);
    return 0;
}
