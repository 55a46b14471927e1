#include "render/plot_text.h"

#include <QTest>

using namespace tessik;

namespace {

// One unit a character, so nine characters fit a line (9 <= 9.6) and ten do not;
// "W" is wider than a whole box.
const CaptionMeasure monoWidth{[](QChar c) { return c == QLatin1Char('W') ? 12 : 1; }, 1.0};

} // namespace

class TestCaptionLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wrapping_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("fits on one line") << "Pump fail" << QStringList{"Pump fail"};
        QTest::newRow("breaks at the blank, which is dropped")
            << "Conveyor stopped" << QStringList{"Conveyor", "stopped"};
        QTest::newRow("last blank among the fitting characters") << "ab cd ef ghij" << QStringList{"ab cd ef", "ghij"};
        QTest::newRow("hard break inside a long word") << "Overpressurised" << QStringList{"Overpress", "urised"};
        QTest::newRow("both blanks fit: the second is dropped") << "abcdef  xyzw" << QStringList{"abcdef ", "xyzw"};
        QTest::newRow("only the first blank fits: the next line begins with the second")
            << "abcdefgh  xyz" << QStringList{"abcdefgh", " xyz"};
        QTest::newRow("a blank that is the first misfit is no break point")
            << "abcdefghi jk" << QStringList{"abcdefghi", " jk"};
        QTest::newRow("a blank at the very start breaks there") << " abcdefghijk" << QStringList{"", "abcdefghi", "jk"};
        QTest::newRow("a character wider than the box stands alone") << "aWb" << QStringList{"a", "W", "b"};
        QTest::newRow("only wide characters still end") << "WWW" << QStringList{"W", "W", "W"};
    }
    void wrapping()
    {
        QFETCH(QString, caption);
        QFETCH(QStringList, lines);
        const CaptionLines wrapped = wrapCaption(caption, monoWidth);
        QCOMPARE(wrapped.lines, lines);
        QVERIFY(!wrapped.truncated);
    }

    void twelveLinesAreCappedAtNine()
    {
        const QString caption = QString("abcdefghi ").repeated(12).trimmed();
        const CaptionLines wrapped = wrapCaption(caption, monoWidth);
        QCOMPARE(wrapped.lines.size(), kMaxCaptionLines);
        QVERIFY(wrapped.truncated);
        // A megabyte of caption from a file is not wrapped beyond what is shown.
        const CaptionLines huge = wrapCaption(QString(1 << 20, QLatin1Char('x')), monoWidth);
        QCOMPARE(huge.lines.size(), kMaxCaptionLines);
    }

    void placement_data()
    {
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<float>("firstY");
        QTest::addColumn<float>("step");
        // Box at (20, -5); one font line is 1.5 units.
        QTest::newRow("one line centred") << 1 << -5.0f + (10 - 1.5f) / 2 << 1.5f;
        QTest::newRow("five lines centred") << 5 << -5.0f + (10 - 7.5f) / 2 << 1.5f;
        QTest::newRow("six lines squeezed from the top") << 6 << -5.0f << 1.6f;
        QTest::newRow("nine lines squeezed") << 9 << -5.0f << 9.6f / 9;
    }
    void placement()
    {
        QFETCH(int, lineCount);
        QFETCH(float, firstY);
        QFETCH(float, step);
        CaptionLines caption;
        for (int i = 0; i < lineCount; ++i)
            caption.lines.append(QString(i % 3 + 1, QLatin1Char('x')));
        const QList<PlacedLine> placed = placeCaption(caption, 20, -5, 1.5f, monoWidth);
        QCOMPARE(placed.size(), lineCount);
        for (int i = 0; i < lineCount; ++i) {
            QVERIFY2(qAbs(placed[i].y - (firstY + i * step)) < 1e-4f, qPrintable(QString::number(i)));
            // Each line is centred across the box on its own width.
            QCOMPARE(placed[i].x, 20 + (10 - float(i % 3 + 1)) / 2);
        }
    }
};

QTEST_MAIN(TestCaptionLayout)
#include "test_caption_layout.moc"
