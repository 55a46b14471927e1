// What the undo history costs: the heap taken by 1,000 steps on an analysis of 100 blocks. The
// worst case moves all 100 blocks at once (a chain moved with its descendants) in every step;
// the mixed case takes every kind of step in turn. The budget is 5 MiB.
#include "app/core/document.h"
#include "bench_qt_env.h"
#include "bench_summary.h"
#include "files/analysis_writer.h"
#include "files/safe_write.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <malloc.h>

namespace {

using namespace tessik;

constexpr int kSteps = 1000;
constexpr double kBudgetMiB = 5.0;
constexpr double kMiB = 1024.0 * 1024.0;

double heapInUse()
{
    return double(mallinfo2().uordblks);
}

// 100 blocks in one chain, each the parent of the next, with captions and notes.
Analysis chainOfBlocks()
{
    Analysis a;
    a.description = QStringLiteral("Line 3 stopped");
    a.email = QStringLiteral("operator");
    a.office = QStringLiteral("Plant North");
    for (int i = 0; i < kMaxBlocks; ++i) {
        const int id = a.table.addBlock(float(i % 10) * 6, float(i / 10) * 4 - 20);
        a.table.setCaption(id, QStringLiteral("Cause number %1").arg(id));
        a.table.setNotes(id, QStringLiteral("Technology; seen on shift %1").arg(id % 3));
        a.table.link(id, std::int16_t(id - 1));
    }
    return a;
}

using Step = void (*)(Document &, int);

void groupMove(Document &document, int step)
{
    const float delta = step % 2 == 0 ? -1.0f : 1.0f;
    document.moveBlocks(document.table().multiMovePlaces(1, delta, 0));
}

void mixedStep(Document &document, int step)
{
    const int id = 1 + step % kMaxBlocks;
    const BlockTable &t = document.table();
    switch (step % 8) {
    case 0:
        document.commitBlock(id, QStringLiteral("Caption of step %1").arg(step), t.block(id).notes);
        break;
    case 1:
        document.moveBlocks({{id, t.block(id).x + 1, t.block(id).y}});
        break;
    case 2:
        document.setCategory(id, step % 2 ? QStringLiteral("Motives") : QStringLiteral("Information"));
        break;
    case 3:
        document.deleteBlock(id);
        break;
    case 4:
        document.addBlock(30, 0);
        break;
    case 5:
        document.setHeader(step % 2 ? HeaderField::Office : HeaderField::Description,
                           QStringLiteral("Header text of step %1").arg(step));
        break;
    case 6:
        document.linkBlocks(id, id == 1 ? 0 : 1);
        break;
    default:
        groupMove(document, step);
        break;
    }
}

struct History {
    double mib = 0;
    int steps = 0; // steps recorded; an edit that changes nothing records none
};

// The heap the history holds after kSteps edits.
History historyOf(Step step)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Chain.rca.xml"));
    writeFileSafely(path, writeAnalysis(chainOfBlocks()));
    Document document;
    document.open(path);
    const double before = heapInUse();
    for (int i = 0; i < kSteps; ++i)
        step(document, i);
    return {(heapInUse() - before) / kMiB, int(document.history().count())};
}

double gGroupMovesMiB = 0;

void measure(benchmark::State &state, Step step, double *mib = nullptr)
{
    History history;
    for (auto _ : state)
        history = historyOf(step);
    state.counters["history_MiB"] = history.mib;
    state.counters["steps"] = history.steps;
    if (mib)
        *mib = history.mib;
}

void BM_History_GroupMoves(benchmark::State &state)
{
    measure(state, groupMove, &gGroupMovesMiB);
}

void BM_History_MixedSteps(benchmark::State &state)
{
    measure(state, mixedStep);
}

} // namespace

BENCHMARK(BM_History_GroupMoves)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_History_MixedSteps)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    useHeadlessQt();
    QCoreApplication app(argc, argv);
    if (!runBenchmarks(argc, argv))
        return 1;
    printSummary("undo history: 1,000 moves of 100 blocks with descendants", gGroupMovesMiB, kBudgetMiB, "MiB", 1.0);
    return 0;
}
