#include "app/core/report/outline.h"

#include "app/core/report/content.h"
#include "app/core/report/report_file.h"
#include "model/classification.h"

#include <QDateTime>
#include <QRegularExpression>

namespace tessik {

namespace {

using Element = ReportElement;
using Rows = std::vector<std::vector<QStringList>>;

const QString kNone = QStringLiteral("None");
const QString kArrow = QStringLiteral(" \u2192 ");

QString orNone(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("None given") : text;
}

QString captionOf(const BlockTable &table, int id)
{
    const QString &caption = table.block(id).caption;
    return caption.isEmpty() ? QStringLiteral("(no caption)") : caption;
}

QStringList captionsOf(const BlockTable &table, const std::vector<int> &ids)
{
    QStringList captions;
    for (int id : ids)
        captions << captionOf(table, id);
    return captions;
}

Element element(Element::Kind kind, const QString &text)
{
    Element e;
    e.kind = kind;
    e.text = text;
    return e;
}

Element table(const Rows &rows, bool headerRow)
{
    Element e;
    e.kind = Element::Table;
    e.rows = rows;
    e.headerRow = headerRow;
    return e;
}

Element picture(int index, const QString &description)
{
    Element e = element(Element::Picture, description);
    e.picture = index;
    return e;
}

class OutlineBuilder {
public:
    OutlineBuilder(const ReportInput &input, ReportOutline &outline)
        : m_input(input), m_table(input.analysis.table), m_content(reportContent(m_table)), m_out(outline)
    {
    }

    void build()
    {
        const QString &description = m_input.analysis.description;
        m_out.title = description.isEmpty() ? QStringLiteral("No event description") : description;
        heading();
        if (m_content.readingOrder.empty()) {
            add(element(Element::Emphasis, QStringLiteral("This analysis has no blocks: there is no diagram, "
                                                          "no causal chain and no cause to report.")));
            return;
        }
        summary();
        diagram();
        chains();
        groups(QStringLiteral("Root causes by category"),
               QStringLiteral("The causes (blocks without children) of each category, then the count of all "
                              "blocks of each category, in the colours of the category view."),
               QStringLiteral("Category"), m_content.byCategory, m_input.colours.tables.CategoryColour.data());
        groups(QStringLiteral("Root causes by notes classification"),
               QStringLiteral("The notes classification is read from each block's notes: the words Science, "
                              "Technology and Human Factors, letter case ignored. The causes of each "
                              "classification, then the count of all blocks of each, in the colours of the "
                              "notes view."),
               QStringLiteral("Notes classification"), m_content.byNotes, m_input.colours.tables.NotesColour.data());
        everyBlock();
    }

private:
    void add(const Element &e) { m_out.elements.push_back(e); }

    void heading()
    {
        const QString file = m_input.fileName;
        const QString saved = file.isEmpty()      ? QStringLiteral("Never")
                              : m_input.lastSaved ? reportTime(*m_input.lastSaved)
                                                  : QStringLiteral("Not known");
        const QString &email = m_input.analysis.email;
        add(table({{{QStringLiteral("Office")}, {orNone(m_input.analysis.office)}},
                   {{QStringLiteral("Point of contact")},
                    {email.isEmpty() ? orNone(email) : email + m_input.mailDomainLabel}},
                   {{QStringLiteral("Analysis file")}, {file.isEmpty() ? QStringLiteral("Not saved to a file") : file}},
                   {{QStringLiteral("Last saved")}, {saved}},
                   {{QStringLiteral("Report made")}, {reportTime(m_input.madeAt)}}},
                  false));
    }

    void summary()
    {
        add(element(Element::Heading, QStringLiteral("Summary")));
        const auto count = [](int n) { return QStringList{QString::number(n)}; };
        Rows rows{{{QStringLiteral("Blocks")}, count(int(m_content.readingOrder.size()))},
                  {{QStringLiteral("Causes (blocks without children)")}, count(m_content.causeCount)},
                  {{QStringLiteral("Impacts (blocks without a parent)")}, count(m_content.impactCount)},
                  {{QStringLiteral("Chains from a cause to an impact")}, count(m_content.chainCount)}};
        if (m_content.unrootedBlocks > 0)
            rows.push_back(
                {{QStringLiteral("Blocks whose parent links run in a loop")}, count(m_content.unrootedBlocks)});
        add(table(rows, false));
    }

    void diagram()
    {
        add(element(Element::Heading, QStringLiteral("Diagram")));
        const bool byCategory = m_input.colours.ViewType != NotesView;
        const QString fill = byCategory ? QStringLiteral("category") : QStringLiteral("notes classification");
        add(element(Element::Paragraph, QStringLiteral("The boxes are filled by %1.").arg(fill)));
        m_out.pictures.push_back(diagramPicture(m_table, m_input.colours, m_input.mapping));
        add(picture(
            int(m_out.pictures.size()) - 1,
            QStringLiteral("The diagram of %1 blocks, filled by %2").arg(m_content.readingOrder.size()).arg(fill)));
    }

    void chains()
    {
        add(element(Element::Heading, QStringLiteral("Causal chains")));
        add(element(Element::Paragraph,
                    QStringLiteral("Each chain runs from a cause (a block without children) up to its impact (a "
                                   "block without a parent). Impacts are taken top to bottom, then left to right, "
                                   "and the causes of each impact likewise.")));
        int impact = 0;
        bool loopsAnnounced = false;
        for (const ReportChain &chain : m_content.chains) {
            QString text = captionsOf(m_table, chain.ids).join(kArrow);
            if (chain.endsInLoop) {
                if (!loopsAnnounced)
                    announceLoops();
                loopsAnnounced = true;
                text += kArrow + QStringLiteral("back to ") + captionOf(m_table, liveParent(m_table, chain.ids.back()));
            } else if (chain.ids.back() != impact) {
                impact = chain.ids.back();
                add(element(Element::Subheading, QStringLiteral("Impact: ") + captionOf(m_table, impact)));
            }
            add(element(Element::Item, text));
        }
        if (m_content.chains.empty())
            add(element(Element::Emphasis, QStringLiteral("No chain reaches an impact.")));
    }

    void announceLoops()
    {
        add(element(Element::Subheading, QStringLiteral("Chains that run into a loop of parent links")));
        add(element(Element::Paragraph,
                    QStringLiteral("A sound analysis has no such loop: the file was damaged. Each chain is followed "
                                   "once, up to the block whose parent is already in the chain.")));
    }

    void groups(const QString &title, const QString &explanation, const QString &column,
                const std::vector<ReportGroup> &groups, const Colour *colours)
    {
        add(element(Element::Heading, title));
        add(element(Element::Paragraph, explanation));
        Rows rows{{{column}, {QStringLiteral("Blocks")}, {QStringLiteral("Causes")}}};
        std::vector<ChartBar> bars;
        for (const ReportGroup &group : groups) {
            const QStringList causes = captionsOf(m_table, group.causes);
            rows.push_back(
                {{group.name}, {QString::number(group.blockCount)}, causes.isEmpty() ? QStringList{kNone} : causes});
            bars.push_back({group.name, group.blockCount, colours[group.colourIndex]});
        }
        add(table(rows, true));
        m_out.pictures.push_back(barChart(bars));
        add(picture(int(m_out.pictures.size()) - 1,
                    QStringLiteral("Blocks by %1, as a bar chart").arg(column.toLower())));
    }

    void everyBlock()
    {
        add(element(Element::Heading, QStringLiteral("Every block")));
        add(element(Element::Paragraph, kReadingOrderNote));
        for (int id : m_content.readingOrder) {
            const Block &block = m_table.block(id);
            const int parent = liveParent(m_table, id);
            add(element(Element::Subheading, captionOf(m_table, id)));
            add(table({{{QStringLiteral("Category")}, {block.category.isEmpty() ? kNone : block.category}},
                       {{QStringLiteral("Notes classification")}, {notesGroupName(block.notes)}},
                       {{QStringLiteral("Parent")},
                        {parent ? captionOf(m_table, parent) : QStringLiteral("None: an impact")}}},
                      false));
            add(block.notes.isEmpty() ? element(Element::Emphasis, QStringLiteral("No notes."))
                                      : element(Element::Notes, block.notes));
        }
    }

    QString notesGroupName(const QString &notes) const
    {
        const int index = notesIndex(notes);
        for (const ReportGroup &group : m_content.byNotes)
            if (group.colourIndex == index)
                return group.name;
        return kNone;
    }

    const ReportInput &m_input;
    const BlockTable &m_table;
    const ReportContent m_content;
    ReportOutline &m_out;
};

} // namespace

QString reportTime(const QDateTime &time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                          : QStringLiteral("Not known");
}

QStringList textLines(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|[\r\n\u2028\u2029]"));
    return text.split(breaks);
}

QString xmlSafeText(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') {
            text[i] = QChar(char16_t(0x2400 + c));
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (QChar::isSurrogate(c) || c == 0xfffe || c == 0xffff) {
            text[i] = QChar::ReplacementCharacter;
        }
    }
    return text;
}

ReportOutline reportOutline(const ReportInput &input)
{
    ReportOutline outline;
    OutlineBuilder(input, outline).build();
    return outline;
}

} // namespace tessik
