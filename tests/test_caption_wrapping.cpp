// Wrapping measures each character once along a line; it must break every caption exactly where
// measuring each prefix of the rest, the rule as the boxes have always applied it, breaks it.
#include "render/plot_text.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tessik;

namespace {

// Ten pixels a unit, so a line holds 96 pixels; '#' is wider than a whole box and the
// zero-width space has no width at all.
int advanceOf(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u'i':
        return 3;
    case u'W':
        return 10;
    case u'#':
        return 120;
    case 0x200b:
        return 0;
    default:
        return 6;
    }
}
const CaptionMeasure kMeasure{advanceOf, 10.0};

// The rule stated directly: the first prefix of the rest that is too wide ends the line, which
// breaks at the last blank among the characters that fit.
CaptionLines byPrefixes(QString rest)
{
    CaptionLines result;
    while (!rest.isEmpty()) {
        if (result.lines.size() == kMaxCaptionLines) {
            result.truncated = true;
            break;
        }
        qsizetype k = 1;
        while (k <= rest.size() && kMeasure.width(rest.left(k)) <= TextFitWidth)
            ++k;
        const qsizetype fitting = std::max<qsizetype>(k - 1, 1);
        const qsizetype blank = k == 1 || k > rest.size() ? -1 : rest.left(k - 1).lastIndexOf(QLatin1Char(' '));
        result.lines.append(rest.left(blank < 0 ? fitting : blank));
        rest.remove(0, blank < 0 ? fitting : blank + 1);
    }
    return result;
}

} // namespace

class TestCaptionWrapping : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void breaksWhereMeasuringEveryPrefixBreaks()
    {
        const QString alphabet = QStringLiteral("aaaii   W#") + QChar(0x200b) + QChar(0x200b);
        QRandomGenerator random(1602);
        for (int round = 0; round < 3000; ++round) {
            QString caption;
            const int length = int(random.bounded(round % 10 == 0 ? 2000 : 160));
            for (int i = 0; i < length; ++i)
                caption += alphabet[int(random.bounded(int(alphabet.size())))];
            const CaptionLines expected = byPrefixes(caption);
            const CaptionLines wrapped = wrapCaption(caption, kMeasure);
            if (wrapped.lines != expected.lines || wrapped.truncated != expected.truncated)
                QFAIL(qPrintable(QStringLiteral("caption \"%1\" wraps as\n%2\nnot as\n%3")
                                     .arg(caption, wrapped.lines.join(u'|'), expected.lines.join(u'|'))));
        }
    }
};

QTEST_MAIN(TestCaptionWrapping)
#include "test_caption_wrapping.moc"
