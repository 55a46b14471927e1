// Wrapping measures each character once along a line; it must break every caption exactly where
// the rule stated directly, measuring each prefix of the rest, breaks it.
#include "render/plot_text.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tessik;

namespace {

// Ten pixels a unit, so a line holds 96 pixels; '#' is wider than a box, U+200B has no width.
int advanceOf(QChar c)
{
    return c == u'#' ? 120 : c == u'\u200b' ? 0 : c == u'W' ? 10 : c == u'i' || c == u' ' ? 3 : 6;
}
const CaptionMeasure kMeasure{advanceOf, 10.0};

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
        const qsizetype blank = k == 1 || k > rest.size() ? -1 : rest.left(k - 1).lastIndexOf(u' ');
        const qsizetype end = blank < 0 ? std::max<qsizetype>(k - 1, 1) : blank;
        result.lines.append(rest.left(end));
        rest.remove(0, blank < 0 ? end : end + 1);
    }
    return result;
}

} // namespace

class TestCaptionWrapping : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void breaksWhereMeasuringEveryPrefixBreaks()
    {
        const QString alphabet = QStringLiteral("aaaii   W#\u200b\u200b");
        QRandomGenerator random(1602);
        for (int round = 0; round < 3000; ++round) {
            QString caption;
            for (int i = int(random.bounded(round % 10 == 0 ? 2000 : 160)); i > 0; --i)
                caption += alphabet[int(random.bounded(int(alphabet.size())))];
            const CaptionLines expected = byPrefixes(caption);
            const CaptionLines wrapped = wrapCaption(caption, kMeasure);
            if (wrapped.lines != expected.lines || wrapped.truncated != expected.truncated)
                QFAIL(qPrintable(QStringLiteral("\"%1\" wraps as\n%2\nnot as\n%3")
                                     .arg(caption, wrapped.lines.join(u'|'), expected.lines.join(u'|'))));
        }
    }
};

QTEST_MAIN(TestCaptionWrapping)
#include "test_caption_wrapping.moc"
