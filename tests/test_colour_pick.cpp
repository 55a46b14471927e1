#include "model/colour_pick.h"
#include "render/colour.h"

#include <QImage>
#include <QTest>

#include <vector>

using namespace tessik;

namespace {

// A one-row picture of the given colours; everything else reads as outside (-1).
PixelReader rowOf(std::vector<Colour> colours)
{
    return [colours = std::move(colours)](int x, int y) -> Colour {
        if (y != 0 || x < 0 || x >= int(colours.size()))
            return -1;
        return colours[std::size_t(x)];
    };
}

const QString kNothing;

} // namespace

class TestColourPick : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each rule at its boundary, one colour followed by the picture's edge: a colour that matches
    // no rule walks right off the picture and gives the empty value.
    void rulesAtTheirBoundaries_data()
    {
        QTest::addColumn<Colour>("colour");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("note");

        QTest::newRow("white") << RGB(255, 255, 255) << kNothing << kNothing;
        QTest::newRow("white at its lower edge") << RGB(250, 250, 250) << kNothing << kNothing;
        QTest::newRow("red-green: blue just below white") << RGB(250, 250, 249) << "Knowledge and Skills"
                                                          << "Technology; Science";
        QTest::newRow("red-green fill") << RGB(255, 255, 102) << "Knowledge and Skills"
                                        << "Technology; Science";
        QTest::newRow("green-blue: red just below white") << RGB(249, 250, 250) << "Wellness/Capacity"
                                                          << "Technology; Human Factors";
        QTest::newRow("green-blue fill") << RGB(134, 255, 255) << "Wellness/Capacity"
                                         << "Technology; Human Factors";
        QTest::newRow("red-blue: green just below white") << RGB(250, 249, 250) << "Structure/Process"
                                                          << "Science; Human Factors";
        QTest::newRow("red-blue at its lower edge") << RGB(236, 0, 236) << "Structure/Process"
                                                    << "Science; Human Factors";
        QTest::newRow("red-blue beats green") << RGB(240, 250, 240) << "Structure/Process"
                                              << "Science; Human Factors";
        QTest::newRow("red-blue beats red") << RGB(250, 0, 240) << "Structure/Process"
                                            << "Science; Human Factors";
        QTest::newRow("red-blue: red too low, blue high enough for blue") << RGB(235, 0, 250) << "Information"
                                                                          << "Human Factors";
        QTest::newRow("red-blue: red too low") << RGB(235, 0, 240) << kNothing << kNothing;
        QTest::newRow("red-blue: blue too low") << RGB(240, 0, 235) << kNothing << kNothing;
        QTest::newRow("green at its lower edge") << RGB(0, 250, 0) << "Motives"
                                                 << "Technology";
        QTest::newRow("green fill") << RGB(191, 251, 201) << "Motives"
                                    << "Technology";
        QTest::newRow("green just too low") << RGB(0, 249, 0) << kNothing << kNothing;
        QTest::newRow("red at its lower edge") << RGB(250, 0, 0) << "Physical Resources"
                                               << "Science";
        QTest::newRow("red fill") << RGB(253, 189, 189) << "Physical Resources"
                                  << "Science";
        QTest::newRow("red just too low") << RGB(249, 0, 0) << kNothing << kNothing;
        QTest::newRow("blue at its lower edge") << RGB(0, 0, 246) << "Information"
                                                << "Human Factors";
        QTest::newRow("blue fill") << RGB(221, 215, 255) << "Information"
                                   << "Human Factors";
        QTest::newRow("blue just too low") << RGB(0, 0, 245) << kNothing << kNothing;
        QTest::newRow("near white falls to red-blue") << RGB(249, 249, 249) << "Structure/Process"
                                                      << "Science; Human Factors";
        QTest::newRow("pale blue") << RGB(240, 240, 250) << "Structure/Process"
                                   << "Science; Human Factors";
        QTest::newRow("pale blue with less red") << RGB(230, 240, 250) << "Information"
                                                 << "Human Factors";
        QTest::newRow("light grey at its lower edge")
            << RGB(210, 210, 210) << kNothing << "Science; Technology; Human Factors";
        QTest::newRow("light grey fill") << RGB(212, 214, 212) << kNothing << "Science; Technology; Human Factors";
        QTest::newRow("light grey, red too low") << RGB(209, 210, 210) << kNothing << kNothing;
        QTest::newRow("light grey, green too low") << RGB(210, 209, 210) << kNothing << kNothing;
        QTest::newRow("light grey, blue too low") << RGB(210, 210, 209) << kNothing << kNothing;
        QTest::newRow("black") << RGB(0, 0, 0) << kNothing << kNothing;
        QTest::newRow("dark grey") << RGB(40, 40, 40) << kNothing << kNothing;
    }
    void rulesAtTheirBoundaries()
    {
        QFETCH(Colour, colour);
        QFETCH(QString, category);
        QFETCH(QString, note);
        const PixelReader picture = rowOf({colour});
        QCOMPARE(SelectCategory(picture, 0, 0), category);
        QCOMPARE(SelectNote(picture, 0, 0), note);
    }

    // A colour that matches no rule takes the value of the first colour to its right that does.
    void unmatchedColoursStepRight_data()
    {
        QTest::addColumn<QList<Colour>>("row");
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("note");

        const Colour black = kBlack;
        const Colour motives = RGB(191, 251, 201);
        const Colour grey = RGB(212, 214, 212);
        QTest::newRow("letters then fill") << QList<Colour>{black, black, black, motives} << 0 << "Motives"
                                           << "Technology";
        QTest::newRow("pressed on the fill itself") << QList<Colour>{black, black, black, motives} << 3 << "Motives"
                                                    << "Technology";
        QTest::newRow("line then white") << QList<Colour>{black, RGB(255, 255, 255), motives} << 0 << kNothing
                                         << kNothing;
        QTest::newRow("dark to the edge") << QList<Colour>{black, black, black} << 0 << kNothing << kNothing;
        QTest::newRow("grey means nothing to the category key") << QList<Colour>{grey, black, motives} << 0 << "Motives"
                                                                << "Science; Technology; Human Factors";
        QTest::newRow("left of the picture") << QList<Colour>{motives} << -1 << kNothing << kNothing;
        QTest::newRow("right of the picture") << QList<Colour>{motives} << 1 << kNothing << kNothing;
    }
    void unmatchedColoursStepRight()
    {
        QFETCH(QList<Colour>, row);
        QFETCH(int, x);
        QFETCH(QString, category);
        QFETCH(QString, note);
        const PixelReader picture = rowOf(std::vector<Colour>(row.begin(), row.end()));
        QCOMPARE(SelectCategory(picture, x, 0), category);
        QCOMPARE(SelectNote(picture, x, 0), note);
    }

    void outsideReadsAsWhite()
    {
        const PixelReader outside = [](int, int) -> Colour { return -1; };
        QCOMPARE(SelectCategory(outside, 3, 3), kNothing);
        QCOMPARE(SelectNote(outside, 3, 3), kNothing);
        const PixelReader fill = rowOf({RGB(255, 255, 102)});
        QCOMPARE(SelectCategory(fill, 0, 1), kNothing); // below the one row
        QCOMPARE(SelectNote(fill, 0, -1), kNothing);    // above it
    }

    // A reader that never reports the edge must not hang the window: the walk gives up at the
    // largest pixel coordinate and gives the empty value.
    void walkEndsEvenWithoutAnEdge()
    {
        int reads = 0;
        const PixelReader endless = [&reads](int, int) -> Colour {
            ++reads;
            return kBlack;
        };
        QCOMPARE(SelectCategory(endless, 0, 0), kNothing);
        QCOMPARE(reads, kPickSearchLimit + 1);
        QCOMPARE(SelectNote(endless, kPickSearchLimit + 5, 0), kNothing);
    }

    // The image overloads read any image format the same way, alpha ignored.
    void imageOverloadsReadEveryFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("RGB32") << int(QImage::Format_RGB32);
        QTest::newRow("ARGB32") << int(QImage::Format_ARGB32);
        QTest::newRow("RGB888") << int(QImage::Format_RGB888);
        QTest::newRow("indexed") << int(QImage::Format_Indexed8);
    }
    void imageOverloadsReadEveryFormat()
    {
        QFETCH(int, format);
        QImage picture(4, 2, QImage::Format_RGB32);
        picture.fill(qRgb(255, 255, 255));
        picture.setPixel(0, 1, qRgb(0, 0, 0));
        picture.setPixel(1, 1, qRgb(0, 0, 0));
        picture.setPixel(2, 1, qRgb(244, 152, 237));
        picture.setPixel(0, 0, qRgb(212, 214, 212));
        picture = picture.convertToFormat(QImage::Format(format));
        QCOMPARE(SelectCategory(picture, 0, 1), QStringLiteral("Structure/Process"));
        QCOMPARE(SelectNote(picture, 1, 1), QStringLiteral("Science; Human Factors"));
        QCOMPARE(SelectNote(picture, 0, 0), QStringLiteral("Science; Technology; Human Factors"));
        QCOMPARE(SelectCategory(picture, 0, 0), kNothing);
        QCOMPARE(SelectCategory(picture, 3, 1), kNothing);
        QCOMPARE(SelectCategory(picture, 4, 1), kNothing);
        QCOMPARE(SelectCategory(picture, 0, 2), kNothing);
        QCOMPARE(SelectCategory(QImage(), 0, 0), kNothing);
    }
};

QTEST_GUILESS_MAIN(TestColourPick)
#include "test_colour_pick.moc"
