#include "app/core/report/pdf.h"

#include "app/core/report/pdf_join.h"
#include "app/core/report/text_document.h"
#include "app/core/user_files.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QThread>

#include <algorithm>
#include <cstdlib>
#include <future>
#include <iterator>
#include <new>
#include <optional>
#include <thread>

namespace tessik {

namespace {

constexpr double kSideMarginMm = 20;
constexpr double kEdgeMarginMm = 12;
// The header and the footer each take this much of the page inside the margins.
constexpr double kBandMm = 12;
constexpr double kBandPoints = 8.5;
// Text whose shaped glyphs are kept from the layout to the drawing, in characters, for the whole
// report (each of two parts keeps half). Kept, text is not shaped a second time as it is drawn,
// at some 30 bytes a character; past this much (the whole text of the report of the heaviest
// analysis a user can make, 100 blocks of 60 KB of notes, with room to spare), long reports shape
// again rather than take ever more memory.
constexpr qsizetype kShapedCharacters = 6'400'000;
// Reports of this much text or more are made in two parts by two threads: some thirty pages.
constexpr qsizetype kTwoThreadCharacters = 100'000;

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

namespace {

// A part of the report laid out for one PDF writer: its elements [from, to). The shaped glyphs of
// its first `shapedCharacters` are kept from the layout to the drawing.
class PagedReport {
public:
    PagedReport(const ReportOutline &outline, const QLocale &locale, QIODevice &device, size_t from, size_t to,
                qsizetype shapedCharacters)
        : m_title(outline.title), m_writer(&device),
          m_document(reportDocumentPart(outline, from, to, m_writer.resolution() / 96.0)),
          m_band(millimetres(m_writer, kBandMm))
    {
        m_writer.setCreator(QStringLiteral("Tessik ") + ProgramVersion);
        m_writer.setTitle(xmlSafeText(outline.title));
        m_writer.setPageLayout(QPageLayout(QPageSize(reportPageSize(locale)), QPageLayout::Portrait,
                                           QMarginsF(kSideMarginMm, kEdgeMarginMm, kSideMarginMm, kEdgeMarginMm),
                                           QPageLayout::Millimeter));
        keepShapedText(shapedCharacters);
        // Laid out for the PDF's own resolution, so that what is measured is what is drawn.
        m_document->documentLayout()->setPaintDevice(&m_writer);
        m_document->setDocumentMargin(0);
        m_body = QSizeF(m_writer.width(), m_writer.height() - 2 * m_band);
        m_document->setPageSize(m_body);
    }

    // Lays the part out, the first time.
    int pageCount() const { return m_document->pageCount(); }

    // Draws every page of the part, numbered from `numberedFrom` + 1, of `pages` in the report.
    IoResult draw(int numberedFrom, int pages)
    {
        QPainter painter;
        if (!painter.begin(&m_writer))
            return IoResult::failure(QStringLiteral("The PDF document could not be started."));
        const int count = pageCount();
        for (int page = 0; page < count; ++page) {
            if (page > 0 && !m_writer.newPage())
                return IoResult::failure(QStringLiteral("The PDF document could not take another page."));
            drawPage(painter, page, numberedFrom + page + 1, pages);
        }
        if (!painter.end())
            return IoResult::failure(QStringLiteral("The PDF document could not be finished."));
        return IoResult::success();
    }

private:
    // Before the document has a page size: from then on, it is laid out.
    void keepShapedText(qsizetype count)
    {
        qsizetype kept = 0;
        for (QTextBlock block = m_document->begin(); block.isValid() && kept < count; block = block.next()) {
            block.layout()->setCacheEnabled(true);
            kept += block.length();
        }
    }

    void drawPage(QPainter &painter, int page, int number, int pages)
    {
        drawBands(painter, m_writer, m_title, number, pages);
        painter.save();
        const QRectF shown(0, page * m_body.height(), m_body.width(), m_body.height());
        painter.translate(0, m_band - shown.top());
        // One device pixel short, so that what starts on the next page leaves no trace on this
        // one: neither ink nor text that a reader copies or searches.
        const QRectF inside = shown.adjusted(0, 0, 0, -1);
        painter.setClipRect(inside);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = inside;
        m_document->documentLayout()->draw(&painter, context);
        painter.restore();
    }

    const QString m_title;
    QPdfWriter m_writer;
    const std::unique_ptr<QTextDocument> m_document;
    const double m_band;
    QSizeF m_body;
};

IoResult writeWhole(const ReportOutline &outline, const QLocale &locale, QIODevice &device)
{
    PagedReport report(outline, locale, device, 0, outline.elements.size(), kShapedCharacters);
    return report.draw(0, report.pageCount());
}

qsizetype textSize(const ReportElement &element)
{
    qsizetype size = element.text.size();
    for (const std::vector<QStringList> &row : element.rows)
        for (const QStringList &cell : row)
            for (const QString &line : cell)
                size += line.size();
    return size;
}

// Where a long report is cut in two, so that two threads lay out and draw a part each: before the
// subheading that leaves the text nearest to halves. The second part starts a page, as the pages
// of a part can only be laid out from its start. Nothing when the report is short or no
// subheading is near enough to its middle.
std::optional<size_t> halfwayCut(const ReportOutline &outline)
{
    qsizetype total = 0;
    for (const ReportElement &element : outline.elements)
        total += textSize(element);
    if (total < kTwoThreadCharacters || std::thread::hardware_concurrency() < 2)
        return std::nullopt;
    std::optional<size_t> cut;
    qsizetype before = 0, best = total;
    for (size_t i = 0; i < outline.elements.size(); ++i) {
        const qsizetype off = std::abs(2 * before - total);
        if (outline.elements[i].kind == ReportElement::Subheading && off < best) {
            cut = i;
            best = off;
        }
        before += textSize(outline.elements[i]);
    }
    // A cut that leaves less than a quarter of the text on one side would save little.
    return best <= total / 2 ? cut : std::nullopt;
}

// One part of the report made by its own thread. Each part learns the other's page count, which
// the page numbers need, once both are laid out; a part that failed tells the other -1.
class ReportPart {
public:
    ReportPart(size_t from, size_t to) : m_from(from), m_to(to) {}

    void make(const ReportOutline &outline, const QLocale &locale, ReportPart &other, bool second)
    {
        try {
            QBuffer buffer(&m_bytes);
            buffer.open(QIODevice::WriteOnly);
            PagedReport report(outline, locale, buffer, m_from, m_to, kShapedCharacters / 2);
            tellPages(report.pageCount());
            const int others = other.m_pages.get_future().get();
            if (others > 0)
                m_drawn = report.draw(second ? others : 0, report.pageCount() + others);
        } catch (const std::bad_alloc &) {
            m_drawn = IoResult::failure(QString());
        }
        tellPages(-1); // when it has not yet
    }

    bool drawn() const { return m_drawn.ok; }
    const QByteArray &bytes() const { return m_bytes; }

private:
    void tellPages(int pages)
    {
        if (!m_told)
            m_pages.set_value(pages);
        m_told = true;
    }

    const size_t m_from, m_to;
    QByteArray m_bytes;
    IoResult m_drawn = IoResult::failure(QString());
    std::promise<int> m_pages;
    bool m_told = false;
};

// Nothing when a part could not be made or the parts not joined; the report is then made whole.
std::optional<QByteArray> writeInTwoParts(const ReportOutline &outline, const QLocale &locale, size_t cut)
{
    ReportPart first(0, cut), second(cut, outline.elements.size());
    // A QThread, not a bare thread: the text layout starts timers, which need a Qt thread.
    const std::unique_ptr<QThread> worker(QThread::create([&] { second.make(outline, locale, first, true); }));
    worker->start();
    if (!worker->isRunning() && !worker->isFinished())
        return std::nullopt; // no thread to be had
    first.make(outline, locale, second, false);
    worker->wait();
    if (!first.drawn() || !second.drawn())
        return std::nullopt;
    return joinPdfs(first.bytes(), second.bytes());
}

} // namespace

IoResult writeReportPdf(const ReportOutline &outline, const QLocale &locale, QIODevice &device)
{
    if (const std::optional<size_t> cut = halfwayCut(outline)) {
        if (const std::optional<QByteArray> joined = writeInTwoParts(outline, locale, *cut)) {
            if (device.write(*joined) != joined->size())
                return IoResult::failure(QStringLiteral("The PDF document could not be finished."));
            return IoResult::success();
        }
    }
    return writeWhole(outline, locale, device);
}

} // namespace tessik
