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

// Block 1 has children 2 and 4, block 2 has child 3. Every link is straight across or down,
// so a pixel half-way between two boxes tells whether the link is drawn.
BlockTable chainTable()
{
    BlockTable table;
    const float positions[][2] = {{0, -5}, {20, -5}, {40, -5}, {0, 8}};
    for (const auto &p : positions) {
        const int id = table.addBlock(p[0] + 5, p[1] + 5);
        table.BlockCategory[size_t(id)] = QStringLiteral("Motives");
    }
    table.BlockParent[2] = 1;
    table.BlockParent[4] = 1;
    table.BlockParent[3] = 2;
    return table;
}

BlockTable unlinkedTable(int count)
{
    BlockTable table;
    for (int i = 0; i < count; ++i)
        table.addBlock(float(5 + 12 * i), 0);
    return table;
}

// One letter per slot 1..BlockCount: H hidden, R revealing (highlighted), P plain, and - for a
// free slot, which is never drawn.
QString looks(const AnimationState &state, const BlockTable &table)
{
    QString out;
    for (int i = 1; i <= table.BlockCount; ++i) {
        if (!table.isLive(i)) {
            out += QLatin1Char('-');
            continue;
        }
        switch (state.lookOf(i)) {
        case BlockLook::Hidden:
            out += QLatin1Char('H');
            break;
        case BlockLook::Highlighted:
            out += QLatin1Char('R');
            break;
        case BlockLook::Plain:
            out += QLatin1Char('P');
            break;
        }
    }
    return out;
}

// What each click shows on the chain diagram, and whether it started a new run.
struct Click {
    const char *looks;
    bool restart;
};

QList<Click> chainRun(AnimationDirection direction)
{
    if (direction == AnimationDirection::Backward)
        return {{"HHHH", true}, {"HHRR", false}, {"HRPP", false}, {"RPPP", false}, {"PPPP", false}, {"HHHH", true}};
    return {{"HHHH", true}, {"RHHH", false}, {"PRHR", false}, {"PPRP", false}, {"PPPP", false}, {"HHHH", true}};
}

// The geometry of a box at (x, y) in pixels, right and bottom exclusive.
struct Box {
    int left, top, right, bottom;
    int midX() const { return (left + right) / 2; }
    int midY() const { return (top + bottom) / 2; }
};

Box boxOf(const Surface &surface, const BlockTable &table, int id)
{
    const PixelMapping &m = surface.mapping();
    const float x = table.BlockX[size_t(id)], y = table.BlockY[size_t(id)];
    return {m.ScaleToPixelsX(x), m.ScaleToPixelsY(y), m.ScaleToPixelsX(x + BlockBoxSize),
            m.ScaleToPixelsY(y + BlockBoxSize)};
}

bool near(Colour a, Colour b, int tolerance)
{
    return std::abs(redOf(a) - redOf(b)) <= tolerance && std::abs(greenOf(a) - greenOf(b)) <= tolerance &&
           std::abs(blueOf(a) - blueOf(b)) <= tolerance;
}

QString describe(Colour c)
{
    return QStringLiteral("(%1, %2, %3)").arg(redOf(c)).arg(greenOf(c)).arg(blueOf(c));
}

// After the fade about 2 % of the picture before is left; the buffer holds the exact picture.
constexpr int kFadeTolerance = 8;

struct Pictures {
    Surface buffer{kWidth, kHeight};
    Surface diagram{kWidth, kHeight};
    int refreshes = 0;

    Pictures()
    {
        const PixelMapping mapping = PixelMapping::forStartupSize(kWidth, kHeight);
        buffer.setMapping(mapping);
        diagram.setMapping(mapping);
        diagram.setRefreshListener([this] { ++refreshes; });
    }

    void expect(int x, int y, Colour colour, const char *what) const
    {
        const Colour exact = buffer.point(x, y);
        const Colour shown = diagram.point(x, y);
        if (exact != colour || !near(shown, colour, kFadeTolerance))
            QFAIL(qPrintable(QStringLiteral("%1 at (%2, %3): expected %4, buffer %5, diagram %6")
                                 .arg(QLatin1String(what))
                                 .arg(x)
                                 .arg(y)
                                 .arg(describe(colour), describe(exact), describe(shown))));
    }
};

} // namespace

class TestAnimation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chainRevealsOneGenerationPerClick_data()
    {
        QTest::addColumn<AnimationDirection>("direction");
        QTest::newRow("backward: causes first") << AnimationDirection::Backward;
        QTest::newRow("forward: impacts first") << AnimationDirection::Forward;
    }
    void chainRevealsOneGenerationPerClick()
    {
        QFETCH(AnimationDirection, direction);
        const BlockTable table = chainTable();
        AnimationState state;
        int click = 0;
        for (const Click &expected : chainRun(direction)) {
            ++click;
            state.step(table, direction);
            QVERIFY2(looks(state, table) == QLatin1String(expected.looks),
                     qPrintable(QStringLiteral("click %1: %2").arg(click).arg(looks(state, table))));
            QCOMPARE(state.AnimationRestart, expected.restart);
        }
    }

    void otherButtonContinuesTheSameRun()
    {
        const BlockTable table = chainTable();
        AnimationState state;
        state.step(table, AnimationDirection::Backward);
        state.step(table, AnimationDirection::Backward);
        QCOMPARE(looks(state, table), QStringLiteral("HHRR"));

        // 3 and 4 are shown now; forward, only 1 may follow: 2 still waits for its parent.
        state.step(table, AnimationDirection::Forward);
        QCOMPARE(looks(state, table), QStringLiteral("RHPP"));
        QVERIFY(!state.AnimationRestart);

        state.step(table, AnimationDirection::Backward);
        QCOMPARE(looks(state, table), QStringLiteral("PRPP"));
        state.step(table, AnimationDirection::Forward);
        QCOMPARE(looks(state, table), QStringLiteral("PPPP"));
        QVERIFY(!state.AnimationRestart);
        state.step(table, AnimationDirection::Backward);
        QCOMPARE(looks(state, table), QStringLiteral("HHHH"));
        QVERIFY(state.AnimationRestart);
    }

    void runsWithoutChains_data()
    {
        QTest::addColumn<BlockTable>("table");
        QTest::addColumn<AnimationDirection>("direction");
        QTest::addColumn<QStringList>("clicks"); // looks after each click
        QTest::addColumn<QString>("restarts");   // 1 where the click started a new run

        const QStringList empty{"", "", "", ""};
        QTest::newRow("empty table, backward") << BlockTable() << AnimationDirection::Backward << empty << "1111";
        QTest::newRow("empty table, forward") << BlockTable() << AnimationDirection::Forward << empty << "1111";

        BlockTable freed = unlinkedTable(3);
        freed.freeSlot(1);
        freed.freeSlot(2);
        freed.freeSlot(3);
        QTest::newRow("only freed slots, forward")
            << freed << AnimationDirection::Forward << QStringList{"---", "---", "---"} << "111";

        const QStringList unlinked{"HHH", "RRR", "PPP", "HHH", "RRR"};
        QTest::newRow("unlinked, backward") << unlinkedTable(3) << AnimationDirection::Backward << unlinked << "10010";
        QTest::newRow("unlinked, forward") << unlinkedTable(3) << AnimationDirection::Forward << unlinked << "10010";

        // A deleted block in the middle of the table must not hold the forward run open for good.
        BlockTable gap = chainTable();
        gap.freeSlot(4);
        QTest::newRow("freed slot in the chain, forward")
            << gap << AnimationDirection::Forward << QStringList{"HHH-", "RHH-", "PRH-", "PPR-", "PPP-", "HHH-"}
            << "100001";
        QTest::newRow("freed slot in the chain, backward")
            << gap << AnimationDirection::Backward << QStringList{"HHH-", "HHR-", "HRP-", "RPP-", "PPP-", "HHH-"}
            << "100001";

        // Parent ids a hand-edited file may hold: outside the used range, or negative.
        BlockTable stray = unlinkedTable(2);
        stray.BlockParent[1] = 50;
        stray.BlockParent[2] = -3;
        QTest::newRow("stray parent ids, forward")
            << stray << AnimationDirection::Forward << QStringList{"HH", "RR", "PP", "HH"} << "1001";
        QTest::newRow("stray parent ids, backward")
            << stray << AnimationDirection::Backward << QStringList{"HH", "RR", "PP", "HH"} << "1001";
    }
    void runsWithoutChains()
    {
        QFETCH(BlockTable, table);
        QFETCH(AnimationDirection, direction);
        QFETCH(QStringList, clicks);
        QFETCH(QString, restarts);
        AnimationState state;
        for (int click = 0; click < clicks.size(); ++click) {
            state.step(table, direction);
            QVERIFY2(looks(state, table) == clicks[click],
                     qPrintable(QStringLiteral("click %1: %2").arg(click + 1).arg(looks(state, table))));
            QCOMPARE(state.AnimationRestart, restarts[click] == QLatin1Char('1'));
        }
    }

    void loopIsNeverRevealedAndRunStaysPut_data()
    {
        QTest::addColumn<AnimationDirection>("direction");
        QTest::addColumn<QString>("settled");
        // 1 and 2 are each other's parent; 3 is a child of 1; 4 stands alone.
        QTest::newRow("backward") << AnimationDirection::Backward << "HHPP";
        QTest::newRow("forward") << AnimationDirection::Forward << "HHHP";
    }
    void loopIsNeverRevealedAndRunStaysPut()
    {
        QFETCH(AnimationDirection, direction);
        QFETCH(QString, settled);
        BlockTable table = chainTable();
        table.BlockParent[1] = 2;
        table.BlockParent[2] = 1;
        table.BlockParent[3] = 1;
        table.BlockParent[4] = 0;

        FakePlatform platform;
        Pictures pictures;
        DiagramColours colours;
        AnimationState state;
        for (int click = 0; click < 3; ++click) {
            state.step(table, direction);
            PlotDiagramHidden(pictures.buffer, pictures.diagram, table, colours, state, platform);
        }
        QCOMPARE(looks(state, table), settled);
        const QImage settledPicture = pictures.buffer.image();

        for (int click = 0; click < 20; ++click) {
            state.step(table, direction);
            QVERIFY(!state.AnimationRestart);
            QCOMPARE(looks(state, table), settled);
        }
        platform.pauses.clear();
        PlotDiagramHidden(pictures.buffer, pictures.diagram, table, colours, state, platform);
        QCOMPARE(pictures.buffer.image(), settledPicture);
        QVERIFY(Surface::sameWithin(pictures.diagram.image(), settledPicture, kFadeTolerance));
        QCOMPARE(platform.pauses, QList<int>(kFadeFrames, kFadeFramePause));

        // A redraw ends the stuck run; the next click hides everything again.
        state.endRun(table);
        state.step(table, direction);
        QVERIFY(state.AnimationRestart);
        QCOMPARE(looks(state, table), QStringLiteral("HHHH"));
    }

    void redrawEndsTheRun_data()
    {
        QTest::addColumn<int>("clicksBefore");
        QTest::newRow("after the new run") << 1;
        QTest::newRow("with blocks revealing") << 3;
        QTest::newRow("with the whole diagram shown") << 5;
    }
    void redrawEndsTheRun()
    {
        QFETCH(int, clicksBefore);
        const BlockTable table = chainTable();
        AnimationState state;
        for (int click = 0; click < clicksBefore; ++click)
            state.step(table, AnimationDirection::Backward);
        state.endRun(table);
        for (int i = 1; i <= table.BlockCount; ++i)
            QVERIFY(!state.BlockHidden[size_t(i)]);

        // Whatever was revealing when the run ended, the new run shows nothing highlighted.
        state.step(table, AnimationDirection::Forward);
        QVERIFY(state.AnimationRestart);
        QCOMPARE(looks(state, table), QStringLiteral("HHHH"));
        state.step(table, AnimationDirection::Forward);
        QCOMPARE(looks(state, table), QStringLiteral("RHHH"));
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
        DiagramColours colours;
        FakePlatform platform;
        Pictures pictures;
        // The picture on screen before the run: the whole diagram.
        PlotDiagram(pictures.diagram, table, colours, QString());

        AnimationState state;
        for (int click = 1; click <= clicks; ++click) {
            state.step(table, direction);
            platform.pauses.clear();
            platform.processEventsCalls = 0;
            pictures.refreshes = 0;
            PlotDiagramHidden(pictures.buffer, pictures.diagram, table, colours, state, platform);
        }

        const QString expected = QLatin1String(chainRun(direction)[clicks - 1].looks);
        for (int id = 1; id <= table.BlockCount; ++id) {
            const Box box = boxOf(pictures.buffer, table, id);
            const QChar look = expected[id - 1];
            const Colour outline = look == QLatin1Char('R') ? kRed : look == QLatin1Char('P') ? kBlack : kWhite;
            const Colour fill = look == QLatin1Char('H') ? kWhite : kMotives;
            const Colour shadow = look == QLatin1Char('R')   ? kHighlightShadowColour
                                  : look == QLatin1Char('P') ? kShadowColour
                                                             : kWhite;
            pictures.expect(box.midX(), box.top, outline, "top edge");
            pictures.expect(box.left, box.midY(), outline, "left edge");
            pictures.expect(box.left + 20, box.top + 20, fill, "fill");
            // Away from the links, which run through the middle of the boxes.
            pictures.expect(box.right + 2, box.top + 30, shadow, "shadow right of the box");
            pictures.expect(box.left + 30, box.bottom + 2, shadow, "shadow below the box");
        }

        // Each link is drawn exactly when both its ends are visible.
        auto visible = [&](int id) { return expected[id - 1] != QLatin1Char('H'); };
        const Box b1 = boxOf(pictures.buffer, table, 1), b2 = boxOf(pictures.buffer, table, 2),
                  b3 = boxOf(pictures.buffer, table, 3), b4 = boxOf(pictures.buffer, table, 4);
        pictures.expect((b1.right + b2.left) / 2, b1.midY(), visible(1) && visible(2) ? kBlack : kWhite, "link 2-1");
        pictures.expect((b2.right + b3.left) / 2, b2.midY(), visible(2) && visible(3) ? kBlack : kWhite, "link 3-2");
        pictures.expect(b1.midX(), (b1.bottom + b4.top) / 2, visible(1) && visible(4) ? kBlack : kWhite, "link 4-1");

        const bool restart = chainRun(direction)[clicks - 1].restart;
        QCOMPARE(platform.pauses, QList<int>(kFadeFrames, restart ? kFadeRestartPause : kFadeFramePause));
        QCOMPARE(pictures.refreshes, kFadeFrames);
        QCOMPARE(platform.processEventsCalls, 1);
        // The surface is left ready for hollow outlines.
        QCOMPARE(pictures.buffer.fillStyle(), FillStyle::Transparent);
        QCOMPARE(pictures.buffer.penColour(), kBlack);
    }

    void bufferFollowsTheDiagramSize()
    {
        // After a resize the buffer may lag behind; the picture must still line up pixel for pixel.
        const BlockTable table = chainTable();
        FakePlatform platform;
        Surface diagram(kWidth + 100, kHeight + 40);
        diagram.setMapping(PixelMapping::forStartupSize(kWidth, kHeight));
        Surface buffer(10, 10);
        AnimationState state;
        state.step(table, AnimationDirection::Forward);
        state.step(table, AnimationDirection::Forward);
        PlotDiagramHidden(buffer, diagram, table, DiagramColours(), state, platform);
        QCOMPARE(buffer.pixelWidth(), diagram.pixelWidth());
        QCOMPARE(buffer.pixelHeight(), diagram.pixelHeight());
        const Box box = boxOf(diagram, table, 1);
        QCOMPARE(buffer.point(box.midX(), box.top), kRed);
        QVERIFY(near(diagram.point(box.midX(), box.top), kRed, kFadeTolerance));
    }
};

QTEST_MAIN(TestAnimation)
#include "test_animation.moc"
