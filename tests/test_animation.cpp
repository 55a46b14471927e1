#include "platform/fake/fake_platform.h"
#include "render/animation.h"
#include "render/fade.h"
#include "render/surface.h"

#include <QTest>

#include <cstdlib>

using namespace tessik;

Q_DECLARE_METATYPE(tessik::AnimationDirection)
Q_DECLARE_METATYPE(tessik::BlockTable)

namespace {

constexpr int kWidth = 670;
constexpr int kHeight = 430;
constexpr Colour kMotives = RGB(96, 246, 121);
// After the fade about 2 % of the picture before is left; the buffer holds the exact picture.
constexpr int kFadeTolerance = 8;

// Block 1 has children 2 and 4, block 2 has child 3. Every link is straight across or down,
// so a pixel half-way between two boxes tells whether the link is drawn.
BlockTable chainTable()
{
    BlockTable table;
    for (const auto &p : {QPointF(5, 0), QPointF(25, 0), QPointF(45, 0), QPointF(5, 13)}) {
        const int id = table.addBlock(float(p.x()), float(p.y()));
        table.BlockCategory[size_t(id)] = QStringLiteral("Motives");
    }
    table.BlockParent[2] = 1;
    table.BlockParent[4] = 1;
    table.BlockParent[3] = 2;
    return table;
}

// One letter per slot 1..BlockCount: H hidden, R revealing (highlighted), P plain, - a free slot.
QString looks(const AnimationState &state, const BlockTable &table)
{
    QString out;
    for (int i = 1; i <= table.BlockCount; ++i)
        out += !table.isLive(i) ? QLatin1Char('-') : QLatin1Char("HPR"[int(state.lookOf(i))]);
    return out;
}

// What each click on one button shows on the chain; the first and the sixth start a new run.
QStringList chainRun(AnimationDirection direction)
{
    if (direction == AnimationDirection::Backward)
        return {"HHHH", "HHRR", "HRPP", "RPPP", "PPPP", "HHHH"};
    return {"HHHH", "RHHH", "PRHR", "PPRP", "PPPP", "HHHH"};
}
const QString kChainRestarts = QStringLiteral("100001");

AnimationDirection directionOf(QChar button)
{
    return button == QLatin1Char('B') ? AnimationDirection::Backward : AnimationDirection::Forward;
}

// The top-left pixel of a block's box; the box is 100 pixels square at the start-up size.
QPoint cornerOf(const Surface &surface, const BlockTable &table, int id)
{
    const PixelMapping &m = surface.mapping();
    return {m.ScaleToPixelsX(table.BlockX[size_t(id)]), m.ScaleToPixelsY(table.BlockY[size_t(id)])};
}

bool near(Colour a, Colour b)
{
    return std::abs(redOf(a) - redOf(b)) <= kFadeTolerance && std::abs(greenOf(a) - greenOf(b)) <= kFadeTolerance &&
           std::abs(blueOf(a) - blueOf(b)) <= kFadeTolerance;
}

// The window was enlarged since start-up and the buffer has not followed yet: the picture must
// still line up pixel for pixel.
struct Pictures {
    Surface buffer{10, 10};
    Surface diagram{kWidth + 100, kHeight + 40};
    int refreshes = 0;

    Pictures()
    {
        diagram.setMapping(PixelMapping::forStartupSize(kWidth, kHeight));
        diagram.setRefreshListener([this](const QRect &) { ++refreshes; });
    }

    // The buffer holds the exact colour, the faded diagram nearly so.
    void expect(int x, int y, Colour colour, const char *what) const
    {
        if (buffer.point(x, y) != colour || !near(diagram.point(x, y), colour))
            QFAIL(qPrintable(QStringLiteral("%1: expected %2, buffer %3, diagram %4")
                                 .arg(QLatin1String(what))
                                 .arg(colour, 6, 16)
                                 .arg(buffer.point(x, y), 6, 16)
                                 .arg(diagram.point(x, y), 6, 16)));
    }
};

} // namespace

class TestAnimation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Five clicks show the chain generation by generation and the sixth starts a new run; either
    // button goes on with the run the other started ('B' backward, 'F' forward).
    void clicksFollowTheRun_data()
    {
        QTest::addColumn<BlockTable>("table");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QStringList>("clicks"); // looks after each click
        QTest::addColumn<QString>("restarts");   // 1 where the click started a new run
        for (const QString buttons : {"BBBBBB", "FFFFFF"}) {
            const QStringList run = chainRun(directionOf(buttons[0]));
            QTest::addRow("chain, %s", qPrintable(buttons)) << chainTable() << buttons << run << kChainRestarts;
            // A deleted block must neither show nor hold the run open for good.
            BlockTable gap = chainTable();
            gap.freeSlot(4);
            QStringList gapClicks;
            for (QString click : run)
                gapClicks << click.replace(3, 1, QLatin1Char('-'));
            QTest::addRow("freed slot in the chain, %s", qPrintable(buttons))
                << gap << buttons << gapClicks << kChainRestarts;
            BlockTable unlinked;
            for (int i = 0; i < 3; ++i)
                unlinked.addBlock(float(5 + 12 * i), 0);
            QTest::addRow("unlinked, %s", qPrintable(buttons))
                << unlinked << buttons << QStringList{"HHH", "RRR", "PPP", "HHH", "RRR"} << "10010";
        }
        // With 3 and 4 shown, forward only 1 may follow: 2 still waits for its parent.
        QTest::newRow("switching buttons")
            << chainTable() << "BBFBFB" << QStringList{"HHHH", "HHRR", "RHPP", "PRPP", "PPPP", "HHHH"}
            << kChainRestarts;
        // 1 and 2 are each other's parent, 3 is a child of 1, 4 stands alone: the loop is never
        // revealed, nor what waits for it, and further clicks keep the last picture.
        BlockTable loop = chainTable();
        loop.BlockParent[1] = 2;
        loop.BlockParent[3] = 1;
        loop.BlockParent[4] = 0;
        const QString stuck = QStringLiteral("1").leftJustified(12, QLatin1Char('0'));
        QTest::newRow("loop, backward") << loop << QString(12, QLatin1Char('B'))
                                        << QStringList{"HHHH", "HHRR"} + QStringList(10, "HHPP") << stuck;
        QTest::newRow("loop, forward") << loop << QString(12, QLatin1Char('F'))
                                       << QStringList{"HHHH", "HHHR"} + QStringList(10, "HHHP") << stuck;
        QTest::newRow("empty table") << BlockTable() << "BFB" << QStringList{"", "", ""} << "111";
    }
    void clicksFollowTheRun()
    {
        QFETCH(BlockTable, table);
        QFETCH(QString, buttons);
        QFETCH(QStringList, clicks);
        QFETCH(QString, restarts);
        AnimationState state;
        for (int click = 0; click < clicks.size(); ++click) {
            state.step(table, directionOf(buttons[click]));
            QVERIFY2(looks(state, table) == clicks[click],
                     qPrintable(QStringLiteral("click %1: %2").arg(click + 1).arg(looks(state, table))));
            QCOMPARE(state.AnimationRestart, restarts[click] == QLatin1Char('1'));
        }
    }

    void picturesFollowTheRun_data()
    {
        QTest::addColumn<AnimationDirection>("direction");
        QTest::addColumn<int>("clicks");
        for (int clicks = 1; clicks <= 6; ++clicks) {
            QTest::addRow("backward, click %d", clicks) << AnimationDirection::Backward << clicks;
            QTest::addRow("forward, click %d", clicks) << AnimationDirection::Forward << clicks;
        }
    }
    void picturesFollowTheRun()
    {
        QFETCH(AnimationDirection, direction);
        QFETCH(int, clicks);
        const BlockTable table = chainTable();
        FakePlatform platform;
        Pictures pictures;
        PlotDiagram(pictures.diagram, table, DiagramColours(), QString()); // on screen before the run
        AnimationState state;
        for (int click = 1; click <= clicks; ++click) {
            state.step(table, direction);
            platform.pauses.clear();
            platform.processEventsCalls = 0;
            pictures.refreshes = 0;
            PlotDiagramHidden(pictures.buffer, pictures.diagram, table, DiagramColours(), state, platform);
        }

        const QString expected = chainRun(direction)[clicks - 1];
        for (int id = 1; id <= 4; ++id) {
            const auto [left, top] = cornerOf(pictures.buffer, table, id);
            const QChar look = expected[id - 1];
            const bool hidden = look == QLatin1Char('H'), revealing = look == QLatin1Char('R');
            pictures.expect(left + 50, top, hidden ? kWhite : revealing ? kRed : kBlack, "top edge");
            pictures.expect(left, top + 50, hidden ? kWhite : revealing ? kRed : kBlack, "left edge");
            pictures.expect(left + 20, top + 20, hidden ? kWhite : kMotives, "fill");
            // Away from the links, which run through the middle of the boxes.
            const Colour shadow = hidden ? kWhite : revealing ? kHighlightShadowColour : kShadowColour;
            pictures.expect(left + 102, top + 30, shadow, "shadow right of the box");
            pictures.expect(left + 30, top + 102, shadow, "shadow below the box");
        }
        // Each link is drawn exactly when both its ends are visible.
        const QChar hidden('H');
        auto link = [&](int a, int b) {
            return expected[a - 1] != hidden && expected[b - 1] != hidden ? kBlack : kWhite;
        };
        const QPoint c1 = cornerOf(pictures.buffer, table, 1);
        pictures.expect(c1.x() + 150, c1.y() + 50, link(1, 2), "link 2-1");
        pictures.expect(c1.x() + 350, c1.y() + 50, link(2, 3), "link 3-2");
        pictures.expect(c1.x() + 50, c1.y() + 115, link(1, 4), "link 4-1");

        const bool restart = kChainRestarts[clicks - 1] == QLatin1Char('1');
        QCOMPARE(platform.pauses, QList<int>(kFadeFrames, restart ? kFadeRestartPause : kFadeFramePause));
        QCOMPARE(pictures.refreshes, kFadeFrames);
        QCOMPARE(pictures.buffer.image().size(), pictures.diagram.image().size());
        QCOMPARE(platform.processEventsCalls, 1);
        // The surface is left ready for hollow outlines.
        QCOMPARE(pictures.buffer.fillStyle(), FillStyle::Transparent);
    }
};

QTEST_MAIN(TestAnimation)
#include "test_animation.moc"
