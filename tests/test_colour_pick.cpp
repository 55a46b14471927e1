#include "model/colour.h"
#include "model/colour_pick.h"

#include <QImage>
#include <QTest>

using namespace tessik;

namespace {

// One row of pixels pressed at x.
void row(const char *name, const QList<Colour> &colours, const char *category, const char *note, int x = 0)
{
    QTest::newRow(name) << colours << x << QString::fromLatin1(category) << QString::fromLatin1(note);
}

} // namespace

class TestColourPick : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each colour rule at its boundary, then the walk to the right: a colour no rule takes gives
    // the value of the first one to its right that a rule takes, or nothing at the edge.
    void pick_data()
    {
        QTest::addColumn<QList<Colour>>("row");
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("note");
        row("white at its lower edge", {RGB(250, 250, 250)}, "", "");
        row("red-green", {RGB(250, 250, 249)}, "Knowledge and Skills", "Technology; Science");
        row("green-blue", {RGB(249, 250, 250)}, "Wellness/Capacity", "Technology; Human Factors");
        row("red-blue", {RGB(250, 249, 250)}, "Structure/Process", "Science; Human Factors");
        row("red-blue at its lower edge", {RGB(236, 0, 236)}, "Structure/Process", "Science; Human Factors");
        row("red-blue beats green", {RGB(240, 250, 240)}, "Structure/Process", "Science; Human Factors");
        row("red-blue, red too low", {RGB(235, 0, 240)}, "", "");
        row("green at its lower edge", {RGB(0, 250, 0)}, "Motives", "Technology");
        row("green too low", {RGB(0, 249, 0)}, "", "");
        row("red at its lower edge", {RGB(250, 0, 0)}, "Physical Resources", "Science");
        row("red too low", {RGB(249, 0, 0)}, "", "");
        row("blue at its lower edge", {RGB(0, 0, 246)}, "Information", "Human Factors");
        row("blue too low", {RGB(0, 0, 245)}, "", "");
        row("light grey at its lower edge", {RGB(210, 210, 210)}, "", "Science; Technology; Human Factors");
        row("light grey, red too low", {RGB(209, 210, 210)}, "", "");
        const Colour black = kBlack, motives = RGB(191, 251, 201), grey = RGB(212, 214, 212);
        row("letters then fill", {black, black, motives}, "Motives", "Technology");
        row("line then white", {black, kWhite, motives}, "", "");
        row("dark to the edge", {black, black}, "", "");
        row("grey means nothing to the category key", {grey, black, motives}, "Motives",
            "Science; Technology; Human Factors");
        row("left of the picture", {motives}, "", "", -1);
        row("right of the picture", {motives}, "", "", 1);
    }
    void pick()
    {
        QFETCH(QList<Colour>, row);
        QFETCH(int, x);
        QFETCH(QString, category);
        QFETCH(QString, note);
        // One row of pixels; everything else reads as outside (-1).
        const PixelReader picture = [row](int px, int py) -> Colour {
            return py == 0 && px >= 0 && px < row.size() ? row[px] : -1;
        };
        QCOMPARE(SelectCategory(picture, x, 0), category);
        QCOMPARE(SelectNote(picture, x, 0), note);
    }

    // A reader that never reports the edge must not hang the window: the walk gives up at the
    // largest pixel coordinate.
    void walkEndsEvenWithoutAnEdge()
    {
        int reads = 0;
        const PixelReader endless = [&reads](int, int) -> Colour {
            ++reads;
            return kBlack;
        };
        QCOMPARE(SelectCategory(endless, 0, 0), QString());
        QCOMPARE(reads, kPickSearchLimit + 1);
        QCOMPARE(SelectNote(endless, kPickSearchLimit + 5, 0), QString());
        QCOMPARE(SelectNote(QImage(), 0, 0), QString());
    }
};

QTEST_GUILESS_MAIN(TestColourPick)
#include "test_colour_pick.moc"
