#include "model/colour_pick.h"
#include "render/colour.h"

#include <QImage>
#include <QTest>

using namespace tessik;

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
        const auto one = [](Colour c) { return QList<Colour>{c}; };
        QTest::newRow("white at its lower edge") << one(RGB(250, 250, 250)) << 0 << "" << "";
        QTest::newRow("red-green") << one(RGB(250, 250, 249)) << 0 << "Knowledge and Skills" << "Technology; Science";
        QTest::newRow("green-blue") << one(RGB(249, 250, 250)) << 0 << "Wellness/Capacity" << "Technology; Human Factors";
        QTest::newRow("red-blue") << one(RGB(250, 249, 250)) << 0 << "Structure/Process" << "Science; Human Factors";
        QTest::newRow("red-blue at its lower edge") << one(RGB(236, 0, 236)) << 0 << "Structure/Process" << "Science; Human Factors";
        QTest::newRow("red-blue beats green") << one(RGB(240, 250, 240)) << 0 << "Structure/Process" << "Science; Human Factors";
        QTest::newRow("red-blue, red too low") << one(RGB(235, 0, 240)) << 0 << "" << "";
        QTest::newRow("red-blue, blue too low") << one(RGB(240, 0, 235)) << 0 << "" << "";
        QTest::newRow("green at its lower edge") << one(RGB(0, 250, 0)) << 0 << "Motives" << "Technology";
        QTest::newRow("green too low") << one(RGB(0, 249, 0)) << 0 << "" << "";
        QTest::newRow("red at its lower edge") << one(RGB(250, 0, 0)) << 0 << "Physical Resources" << "Science";
        QTest::newRow("red too low") << one(RGB(249, 0, 0)) << 0 << "" << "";
        QTest::newRow("blue at its lower edge") << one(RGB(0, 0, 246)) << 0 << "Information" << "Human Factors";
        QTest::newRow("blue too low") << one(RGB(0, 0, 245)) << 0 << "" << "";
        QTest::newRow("light grey at its lower edge") << one(RGB(210, 210, 210)) << 0 << "" << "Science; Technology; Human Factors";
        QTest::newRow("light grey, red too low") << one(RGB(209, 210, 210)) << 0 << "" << "";
        const Colour black = kBlack, motives = RGB(191, 251, 201), grey = RGB(212, 214, 212);
        QTest::newRow("letters then fill") << QList<Colour>{black, black, motives} << 0 << "Motives" << "Technology";
        QTest::newRow("line then white") << QList<Colour>{black, kWhite, motives} << 0 << "" << "";
        QTest::newRow("dark to the edge") << QList<Colour>{black, black} << 0 << "" << "";
        QTest::newRow("grey means nothing to the category key")
            << QList<Colour>{grey, black, motives} << 0 << "Motives" << "Science; Technology; Human Factors";
        QTest::newRow("left of the picture") << one(motives) << -1 << "" << "";
        QTest::newRow("right of the picture") << one(motives) << 1 << "" << "";
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
        QCOMPARE(SelectCategory(picture, x, 1), QString()); // below the row
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
