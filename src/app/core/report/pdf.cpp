#include "app/core/report/pdf.h"

#include "app/core/report/text_document.h"
#include "app/core/user_files.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <iterator>

namespace tessik {

namespace {

constexpr double kSideMarginMm = 20;
constexpr double kEdgeMarginMm = 12;
// The header and the footer each take this much of the page inside the margins.
constexpr double kBandMm = 12;
constexpr double kBandPoints = 8.5;
// Text whose shaped glyphs are kept from the layout to the drawing, in characters. Kept, text is
// not shaped a second time as it is drawn, at some 30 bytes a character; past this much, long
// reports shape again rather than take ever more memory.
constexpr qsizetype kShapedCharacters = 4'000'000;

double millimetres(const QPdfWriter &writer, double mm)
{
    return mm * writer.resolution() / 25.4;
}

QFont bandFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kBandPoints);
    return font;
}

void drawBands(QPainter &painter, const QPdfWriter &writer, const QString &title, int page, int pages)
{
    const double width = writer.width(), band = millimetres(writer, kBandMm), bottom = writer.height();
    painter.save();
    painter.setFont(bandFont());
    painter.setPen(QColor(90, 90, 90));
    const QFontMetricsF metrics(painter.font(), &writer);
    const QString line =
        metrics.elidedText(QString(title).replace(QChar::LineSeparator, QChar(' ')), Qt::ElideRight, width);
    painter.drawText(QRectF(0, 0, width, band * 0.6), Qt::AlignLeft | Qt::AlignBottom, line);
    painter.drawLine(QPointF(0, band * 0.7), QPointF(width, band * 0.7));
    painter.drawText(QRectF(0, bottom - band * 0.6, width, band * 0.6), Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("Page %1 of %2").arg(page).arg(pages));
    painter.restore();
}

void keepShapedText(const QTextDocument &document)
{
    qsizetype kept = 0;
    for (QTextBlock block = document.begin(); block.isValid() && kept < kShapedCharacters; block = block.next()) {
        block.layout()->setCacheEnabled(true);
        kept += block.length();
    }
}

} // namespace

QPageSize::PageSizeId reportPageSize(const QLocale &locale)
{
    static const QLocale::Territory letter[] = {QLocale::UnitedStates, QLocale::Canada,           QLocale::Mexico,
                                                QLocale::Chile,        QLocale::Colombia,         QLocale::CostaRica,
                                                QLocale::ElSalvador,   QLocale::Guatemala,        QLocale::Nicaragua,
                                                QLocale::Panama,       QLocale::Philippines,      QLocale::PuertoRico,
                                                QLocale::Venezuela,    QLocale::DominicanRepublic};
    if (locale.measurementSystem() == QLocale::ImperialUSSystem ||
        std::find(std::begin(letter), std::end(letter), locale.territory()) != std::end(letter))
        return QPageSize::Letter;
    return QPageSize::A4;
}

IoResult writeReportPdf(const ReportOutline &outline, const QLocale &locale, QIODevice &device)
{
    QPdfWriter writer(&device);
    const std::unique_ptr<QTextDocument> document =
        reportDocument(outline, ReportPictureMode::Drawn, writer.resolution() / 96.0);
    writer.setCreator(QStringLiteral("Tessik ") + ProgramVersion);
    writer.setTitle(xmlSafeText(outline.title));
    writer.setPageLayout(QPageLayout(QPageSize(reportPageSize(locale)), QPageLayout::Portrait,
                                     QMarginsF(kSideMarginMm, kEdgeMarginMm, kSideMarginMm, kEdgeMarginMm),
                                     QPageLayout::Millimeter));
    // Laid out for the PDF's own resolution, so that what is measured is what is drawn.
    keepShapedText(*document);
    document->documentLayout()->setPaintDevice(&writer);
    document->setDocumentMargin(0);
    const double band = millimetres(writer, kBandMm);
    const QSizeF body(writer.width(), writer.height() - 2 * band);
    document->setPageSize(body);
    const int pages = document->pageCount();

    QPainter painter;
    if (!painter.begin(&writer))
        return IoResult::failure(QStringLiteral("The PDF document could not be started."));
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !writer.newPage())
            return IoResult::failure(QStringLiteral("The PDF document could not take another page."));
        drawBands(painter, writer, outline.title, page + 1, pages);
        painter.save();
        const QRectF shown(0, page * body.height(), body.width(), body.height());
        painter.translate(0, band - shown.top());
        // One device pixel short, so that what starts on the next page leaves no trace on this one.
        painter.setClipRect(shown.adjusted(0, 0, 0, -1));
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        document->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end())
        return IoResult::failure(QStringLiteral("The PDF document could not be finished."));
    return IoResult::success();
}

} // namespace tessik
