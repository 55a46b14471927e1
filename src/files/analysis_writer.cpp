#include "files/analysis_writer.h"

#include "files/codepage.h"
#include "files/number_text.h"

#include <QIODevice>

namespace tessik {

namespace {

// Builds the text line by line; the whole file goes through the code page once at the end.
class LineWriter {
public:
    void line(int indent, const QString &content)
    {
        m_text += QString(indent, QLatin1Char(' '));
        m_text += content;
        m_text += QLatin1String("\r\n");
    }

    void element(int indent, const QString &name, const QString &value)
    {
        line(indent,
             QLatin1Char('<') + name + QLatin1Char('>') + value + QLatin1String("</") + name + QLatin1Char('>'));
    }

    QString text() const { return m_text; }

private:
    QString m_text;
};

// The locale's decimal separator where the code page holds it, otherwise ".", which every
// reader of the file also takes.
QLocale numberLocale(const QLocale &locale)
{
    return firstUnencodable(locale.decimalPoint()) < 0 ? locale : QLocale::c();
}

QString analysisText(const Analysis &analysis, const QString &encodingName, const QLocale &userLocale)
{
    const QLocale locale = numberLocale(userLocale);
    LineWriter out;
    out.line(0, QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>").arg(encodingName));
    out.line(0, QStringLiteral("<analysis>"));
    out.element(2, QStringLiteral("description"), analysis.description);
    out.element(2, QStringLiteral("email"), analysis.email);
    out.element(2, QStringLiteral("office"), analysis.office);

    for (int i = 1; i <= analysis.table.usedSlots(); ++i) {
        const Block &block = analysis.table.block(i);
        out.line(2, QStringLiteral("<block>"));
        out.element(4, QStringLiteral("id"), integerNumberText(std::int16_t(i)));
        out.element(4, QStringLiteral("active"), integerNumberText(block.active));
        out.element(4, QStringLiteral("parent"), integerNumberText(block.parent));
        out.element(4, QStringLiteral("x"), singleNumberText(block.x, locale));
        out.element(4, QStringLiteral("y"), singleNumberText(block.y, locale));
        out.element(4, QStringLiteral("text"), block.caption);
        out.element(4, QStringLiteral("notes"), block.notes);
        out.element(4, QStringLiteral("category"), block.category);
        out.line(2, QStringLiteral("</block>"));
    }
    out.line(0, QStringLiteral("</analysis>"));
    return out.text();
}

} // namespace

QByteArray writeAnalysis(const Analysis &analysis, const QLocale &locale)
{
    return encode1252(analysisText(analysis, QStringLiteral("ISO-8859-1"), locale));
}

QByteArray writeAnalysisUtf8(const Analysis &analysis, const QLocale &locale)
{
    return analysisText(analysis, QStringLiteral("UTF-8"), locale).toUtf8();
}

IoResult saveAnalysisFile(const QString &path, const Analysis &analysis, const QLocale &locale)
{
    return writeFileSafely(path, writeAnalysis(analysis, locale));
}

} // namespace tessik
