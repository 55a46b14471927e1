#include "app/core/report/text_document.h"

#include "app/core/report/picture_object.h"

#include <QAbstractTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

namespace tessik {

namespace {

constexpr double kBodyPoints = 10;
// The characters of notes taken into one paragraph, at most (a longer line stays whole).
constexpr qsizetype kNotesParagraph = 2000;
// Table lines, in pixels of 1/96 inch.
constexpr double kBorder = 0.75;
const QColor kBorderColour(170, 170, 170);
// Images are made with this many pixels for each pixel they take on the page, for print.
constexpr int kImageDetail = 2;

const QString kFontFamily = QStringLiteral("Arial");

QFont bodyFont()
{
    QFont font(kFontFamily);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kBodyPoints);
    return font;
}

QTextCharFormat textFormat(double points, bool bold, bool italic = false)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{kFontFamily});
    // The ODT writer names a text's font by this older single family, and without it writes "Sans".
    format.setProperty(QTextFormat::FontFamily, kFontFamily);
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    return format;
}

// One line of the report: the line breaks inside a text stay line breaks of one paragraph.
QString oneParagraph(const QString &text)
{
    return xmlSafeText(textLines(text).join(QChar::LineSeparator));
}

class DocumentBuilder {
public:
    DocumentBuilder(const ReportOutline &outline, ReportPictureMode mode, double devicePixels)
        : m_outline(outline), m_mode(mode), m_unit(devicePixels), m_document(std::make_unique<QTextDocument>()),
          m_cursor(m_document.get())
    {
    }

    std::unique_ptr<QTextDocument> build(size_t from, size_t to)
    {
        m_document->setDefaultFont(bodyFont());
        m_document->setMetaInformation(QTextDocument::DocumentTitle, xmlSafeText(m_outline.title));
        m_document->setUndoRedoEnabled(false);
        if (from == 0) {
            m_cursor.setBlockFormat(headingFormat(1));
            m_cursor.setBlockCharFormat(textFormat(20, true));
            m_cursor.insertText(oneParagraph(m_outline.title));
        } else {
            m_emptyBlock = true; // a part after the first starts with its first element
        }
        for (size_t i = from; i < std::min(to, m_outline.elements.size()); ++i)
            add(m_outline.elements[i]);
        // The layout is made only now: one made before would be laid out again with each insertion.
        if (m_mode == ReportPictureMode::Drawn)
            m_document->documentLayout()->registerHandler(PictureObject::kType,
                                                          new PictureObject(m_outline.pictures, m_document.get()));
        return std::move(m_document);
    }

private:
    // The layout takes a paragraph's left margin and indent in the device's own pixels, unlike
    // every other length (pixels of 1/96 inch, scaled to the device).
    double px(double pixels) const { return pixels * m_unit; }

    QTextBlockFormat headingFormat(int level) const
    {
        QTextBlockFormat format;
        format.setHeadingLevel(level);
        format.setTopMargin(level == 1 ? 0 : level == 2 ? 16 : 10);
        format.setBottomMargin(6);
        return format;
    }

    void paragraph(const QString &text, const QTextBlockFormat &block, const QTextCharFormat &chars)
    {
        newBlock(block, chars);
        m_cursor.insertText(text, chars);
    }

    // The empty paragraph a table leaves after itself, or a new document starts with, takes the
    // next text.
    void newBlock(const QTextBlockFormat &block, const QTextCharFormat &chars = QTextCharFormat())
    {
        if (m_emptyBlock) {
            m_cursor.setBlockFormat(block);
            m_cursor.setBlockCharFormat(chars);
        } else {
            m_cursor.insertBlock(block, chars);
        }
        m_emptyBlock = false;
    }

    void add(const ReportElement &element)
    {
        QTextBlockFormat body;
        body.setBottomMargin(4);
        switch (element.kind) {
        case ReportElement::Heading:
            return paragraph(oneParagraph(element.text), headingFormat(2), textFormat(15, true));
        case ReportElement::Subheading:
            return paragraph(oneParagraph(element.text), headingFormat(3), textFormat(12, true));
        case ReportElement::Paragraph:
            return paragraph(oneParagraph(element.text), body, textFormat(kBodyPoints, false));
        case ReportElement::Emphasis:
            return paragraph(oneParagraph(element.text), body, textFormat(kBodyPoints, false, true));
        case ReportElement::Item: {
            QTextBlockFormat item = body;
            item.setLeftMargin(px(28));
            item.setTextIndent(px(-12));
            return paragraph(QStringLiteral("\u2022 ") + oneParagraph(element.text), item,
                             textFormat(kBodyPoints, false));
        }
        case ReportElement::Notes:
            return notes(element.text);
        case ReportElement::Table:
            return table(element);
        case ReportElement::Picture:
            return picture(element);
        }
    }

    // The lines in paragraphs of a few thousand characters: a layout walks every paragraph of the
    // document often, so notes of thousands of lines would be slow as a paragraph each; and it
    // shapes a paragraph whole for each page it is drawn on, so one huge paragraph is slow too.
    void notes(const QString &text)
    {
        QTextBlockFormat notes;
        notes.setLeftMargin(px(14));
        QStringList chunk;
        qsizetype size = 0;
        const QStringList lines = textLines(text);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            chunk << lines[i];
            size += lines[i].size() + 1;
            const bool last = i + 1 == lines.size();
            if (!last && size < kNotesParagraph)
                continue;
            notes.setBottomMargin(last ? 4 : 0);
            paragraph(xmlSafeText(chunk.join(QChar::LineSeparator)), notes, textFormat(kBodyPoints, false));
            chunk.clear();
            size = 0;
        }
    }

    void table(const ReportElement &element)
    {
        const int rows = int(element.rows.size()), columns = int(element.rows.front().size());
        QTextTableFormat format;
        format.setBorder(kBorder);
        format.setBorderBrush(kBorderColour);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderCollapse(true);
        format.setCellPadding(3);
        format.setTopMargin(4);
        format.setBottomMargin(8);
        format.setCellSpacing(0);
        // The document writer would give a share of the width as a length in points: without a
        // width of their own, word processors give tables the width between the margins.
        if (m_mode == ReportPictureMode::Drawn)
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setHeaderRowCount(element.headerRow ? 1 : 0);
        QList<QTextLength> widths;
        for (int c = 0; c < columns; ++c)
            widths << QTextLength(QTextLength::PercentageLength, columns == 2 ? (c == 0 ? 32 : 68)
                                                                              : (c == 0   ? 30
                                                                                 : c == 1 ? 10
                                                                                          : 60));
        format.setColumnWidthConstraints(widths);
        QTextTable *table = m_cursor.insertTable(rows, columns, format);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const bool header = (element.headerRow && r == 0) || (!element.headerRow && c == 0 && columns == 2);
                QTextTableCell cell = table->cellAt(r, c);
                QTextTableCellFormat lined = cell.format().toTableCellFormat();
                lined.setBorder(kBorder);
                lined.setBorderBrush(kBorderColour);
                lined.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                if (element.headerRow && r == 0)
                    lined.setBackground(QColor(235, 235, 235));
                cell.setFormat(lined);
                // One paragraph a cell: the document writer keeps only a cell's first paragraph.
                QStringList lines;
                for (const QString &line : element.rows[size_t(r)][size_t(c)])
                    lines << oneParagraph(line);
                cell.firstCursorPosition().insertText(lines.join(QChar::LineSeparator),
                                                      textFormat(kBodyPoints, header));
            }
        }
        m_cursor.movePosition(QTextCursor::End);
        m_emptyBlock = true;
    }

    void picture(const ReportElement &element)
    {
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        centred.setTopMargin(6);
        centred.setBottomMargin(10);
        newBlock(centred);
        const ReportPicture &picture = m_outline.pictures[size_t(element.picture)];
        if (m_mode == ReportPictureMode::Drawn) {
            QTextCharFormat object;
            object.setObjectType(PictureObject::kType);
            object.setProperty(PictureObject::kIndex, element.picture);
            m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), object);
            return;
        }
        const double width = std::min(kImagePictureWidth, picture.size.width());
        const QImage image = pictureImage(picture, int(width) * kImageDetail);
        const QUrl name(QStringLiteral("picture%1.png").arg(element.picture));
        m_document->addResource(QTextDocument::ImageResource, name, image);
        QTextImageFormat format;
        format.setName(name.toString());
        format.setWidth(width);
        format.setHeight(width * image.height() / std::max(1, image.width()));
        m_cursor.insertImage(format);
    }

    const ReportOutline &m_outline;
    ReportPictureMode m_mode;
    double m_unit;
    std::unique_ptr<QTextDocument> m_document;
    QTextCursor m_cursor;
    bool m_emptyBlock = false;
};

} // namespace

std::unique_ptr<QTextDocument> reportDocument(const ReportOutline &outline, ReportPictureMode mode, double devicePixels)
{
    return DocumentBuilder(outline, mode, devicePixels).build(0, outline.elements.size());
}

std::unique_ptr<QTextDocument> reportDocumentPart(const ReportOutline &outline, size_t from, size_t to,
                                                  double devicePixels)
{
    return DocumentBuilder(outline, ReportPictureMode::Drawn, devicePixels).build(from, to);
}

} // namespace tessik
