#include "app/core/report/html.h"

#include "app/core/user_files.h"

#include <optional>

namespace tessik {

namespace {

const QString kStyle = QStringLiteral(R"(
body { font-family: Arial, "Liberation Sans", Helvetica, sans-serif; font-size: 11pt; color: #111;
       max-width: 60em; margin: 2em auto; padding: 0 1em; line-height: 1.35; }
h1 { font-size: 1.8em; margin: 0 0 0.5em; }
h2 { font-size: 1.35em; margin: 1.6em 0 0.4em; border-bottom: 1px solid #999; }
h3 { font-size: 1.1em; margin: 1.2em 0 0.3em; }
table { border-collapse: collapse; width: 100%; margin: 0.4em 0 0.8em; }
th, td { border: 1px solid #bbb; padding: 0.2em 0.4em; text-align: left; vertical-align: top; }
thead th { background: #ebebeb; }
tbody th { width: 32%; font-weight: bold; }
.remark { font-style: italic; }
.notes { white-space: pre-wrap; margin: 0.3em 0 0.8em 1em; }
ul.chains { padding-left: 1.4em; }
figure { margin: 0.6em auto; text-align: center; }
figcaption { font-size: 0.9em; color: #555; }
figure svg { max-width: 100%; height: auto; }
@page { margin: 18mm 20mm; }
@media print {
  body { font-size: 10pt; max-width: none; margin: 0; padding: 0; }
  h2, h3 { break-after: avoid; page-break-after: avoid; }
  figure, tr { break-inside: avoid; page-break-inside: avoid; }
}
)");

// Text as XML character data: markup in it stays text.
QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// One paragraph's text, its own line breaks kept as breaks.
QString lines(const QString &text)
{
    QStringList parts = textLines(text);
    for (QString &part : parts)
        part = escaped(part);
    return parts.join(QStringLiteral("<br/>"));
}

QString tag(const QString &name, const QString &content, const QString &attributes = QString())
{
    return QStringLiteral("<%1%2>%3</%1>").arg(name, attributes, content);
}

QString table(const ReportElement &element)
{
    QString html = QStringLiteral("<table>");
    size_t first = 0;
    if (element.headerRow) {
        QString header;
        for (const QStringList &cell : element.rows.front())
            header += tag(QStringLiteral("th"), lines(cell.join('\n')), QStringLiteral(" scope=\"col\""));
        html += tag(QStringLiteral("thead"), tag(QStringLiteral("tr"), header));
        first = 1;
    }
    html += QStringLiteral("<tbody>");
    for (size_t r = first; r < element.rows.size(); ++r) {
        QString row;
        const auto &cells = element.rows[r];
        for (size_t c = 0; c < cells.size(); ++c) {
            const bool rowHeader = !element.headerRow && c == 0 && cells.size() == 2;
            row += rowHeader ? tag(QStringLiteral("th"), lines(cells[c].join('\n')), QStringLiteral(" scope=\"row\""))
                             : tag(QStringLiteral("td"), lines(cells[c].join('\n')));
        }
        html += tag(QStringLiteral("tr"), row);
    }
    return html + QStringLiteral("</tbody></table>\n");
}

// The figure, or nothing when its picture could not be drawn.
std::optional<QString> picture(const ReportOutline &outline, const ReportElement &element)
{
    const ReportPicture &picture = outline.pictures[size_t(element.picture)];
    const QByteArray svg = pictureSvg(picture, element.text);
    if (svg.isEmpty())
        return std::nullopt;
    return tag(QStringLiteral("figure"),
               QString::fromUtf8(svg) + tag(QStringLiteral("figcaption"), escaped(element.text)),
               QStringLiteral(" style=\"max-width: %1px\"").arg(int(picture.size.width()))) +
           '\n';
}

// The document's body, or nothing when one of its pictures could not be drawn.
std::optional<QString> body(const ReportOutline &outline)
{
    QString html;
    bool inList = false;
    for (const ReportElement &element : outline.elements) {
        if (inList && element.kind != ReportElement::Item)
            html += QStringLiteral("</ul>\n");
        if (!inList && element.kind == ReportElement::Item)
            html += QStringLiteral("<ul class=\"chains\">\n");
        inList = element.kind == ReportElement::Item;
        switch (element.kind) {
        case ReportElement::Heading:
            html += tag(QStringLiteral("h2"), lines(element.text)) + '\n';
            break;
        case ReportElement::Subheading:
            html += tag(QStringLiteral("h3"), lines(element.text)) + '\n';
            break;
        case ReportElement::Paragraph:
            html += tag(QStringLiteral("p"), lines(element.text)) + '\n';
            break;
        case ReportElement::Emphasis:
            html += tag(QStringLiteral("p"), lines(element.text), QStringLiteral(" class=\"remark\"")) + '\n';
            break;
        case ReportElement::Item:
            html += tag(QStringLiteral("li"), lines(element.text)) + '\n';
            break;
        case ReportElement::Notes:
            html += tag(QStringLiteral("div"), escaped(textLines(element.text).join('\n')),
                        QStringLiteral(" class=\"notes\"")) +
                    '\n';
            break;
        case ReportElement::Table:
            html += table(element);
            break;
        case ReportElement::Picture: {
            const std::optional<QString> figure = picture(outline, element);
            if (!figure)
                return std::nullopt;
            html += *figure;
            break;
        }
        }
    }
    return inList ? html + QStringLiteral("</ul>\n") : html;
}

} // namespace

QByteArray reportHtml(const ReportOutline &outline)
{
    const std::optional<QString> content = body(outline);
    if (!content)
        return QByteArray();
    const QString title = lines(outline.title);
    const QString html =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
                       "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\" xml:lang=\"en\">\n<head>\n"
                       "<meta charset=\"UTF-8\"/>\n<meta name=\"generator\" content=\"Tessik %1\"/>\n"
                       "<title>%2</title>\n<style>%3</style>\n</head>\n<body>\n<h1>%4</h1>\n%5</body>\n</html>\n")
            .arg(ProgramVersion, escaped(textLines(outline.title).join(' ')), kStyle, title, *content);
    // The one place every character passes: what XML cannot hold becomes a visible stand-in.
    return xmlSafeText(html).toUtf8();
}

} // namespace tessik
