#include "app/core/report/pdf_join.h"

#include <QByteArrayView>
#include <QSet>

#include <algorithm>
#include <map>
#include <vector>

namespace tessik {

namespace {

// ---- Reading the parts of a PDF file that are not stream data ----

struct Token {
    enum Kind { Integer, Name, Keyword, String, Open, Close } kind;
    qsizetype begin;
    qsizetype end;
};

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool isDelimiter(char c)
{
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' || c == '/' ||
           c == '%';
}

// The tokens from `from` to the keyword "stream" (the last token given) or to `to`. Strings are
// taken whole, so that what they hold is never read as a reference. Nothing on a bad string.
std::optional<std::vector<Token>> tokensOf(QByteArrayView text, qsizetype from, qsizetype to)
{
    std::vector<Token> tokens;
    qsizetype i = from;
    while (i < to) {
        const char c = text[i];
        const qsizetype start = i;
        if (isSpace(c)) {
            ++i;
        } else if (c == '%') {
            while (i < to && text[i] != '\n' && text[i] != '\r')
                ++i;
        } else if (c == '(') {
            int depth = 0;
            for (; i < to; ++i) {
                if (text[i] == '\\')
                    ++i;
                else if (text[i] == '(')
                    ++depth;
                else if (text[i] == ')' && --depth == 0)
                    break;
            }
            if (i >= to)
                return std::nullopt;
            tokens.push_back({Token::String, start, ++i});
        } else if (c == '<' && i + 1 < to && text[i + 1] == '<') {
            tokens.push_back({Token::Open, start, i += 2});
        } else if (c == '>' && i + 1 < to && text[i + 1] == '>') {
            tokens.push_back({Token::Close, start, i += 2});
        } else if (c == '<') {
            while (i < to && text[i] != '>')
                ++i;
            if (i >= to)
                return std::nullopt;
            tokens.push_back({Token::String, start, ++i});
        } else if (c == '[' || c == '{') {
            tokens.push_back({Token::Open, start, ++i});
        } else if (c == ']' || c == '}') {
            tokens.push_back({Token::Close, start, ++i});
        } else if (c == ')' || c == '>') {
            return std::nullopt;
        } else {
            ++i; // a name's slash, or the first character of a number or keyword
            while (i < to && !isSpace(text[i]) && !isDelimiter(text[i]))
                ++i;
            const QByteArrayView word = text.sliced(start, i - start);
            const bool digits = std::all_of(word.begin(), word.end(), [](char d) { return d >= '0' && d <= '9'; });
            tokens.push_back({c == '/' ? Token::Name : digits ? Token::Integer : Token::Keyword, start, i});
            if (word == "stream")
                break;
        }
    }
    return tokens;
}

QByteArrayView wordOf(QByteArrayView text, const Token &token)
{
    return text.sliced(token.begin, token.end - token.begin);
}

qint64 numberOf(QByteArrayView text, const Token &token)
{
    // Digits only; more than a 64-bit number holds are no number of this file.
    bool ok = false;
    const qint64 number = wordOf(text, token).toLongLong(&ok);
    return ok ? number : -1;
}

// Whether tokens[i] starts a reference "n g R".
bool isReference(QByteArrayView text, const std::vector<Token> &tokens, size_t i)
{
    return i + 2 < tokens.size() && tokens[i].kind == Token::Integer && tokens[i + 1].kind == Token::Integer &&
           tokens[i + 2].kind == Token::Keyword && wordOf(text, tokens[i + 2]) == "R";
}

// The index of the token after `key` among the entries of the outermost dictionary.
std::optional<size_t> entryOf(QByteArrayView text, const std::vector<Token> &tokens, QByteArrayView key)
{
    int depth = 0;
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i].kind == Token::Open)
            ++depth;
        else if (tokens[i].kind == Token::Close)
            --depth;
        else if (depth == 1 && tokens[i].kind == Token::Name && wordOf(text, tokens[i]) == key)
            return i + 1;
    }
    return std::nullopt;
}

int referenceEntry(QByteArrayView text, const std::vector<Token> &tokens, QByteArrayView key)
{
    const std::optional<size_t> at = entryOf(text, tokens, key);
    return at && isReference(text, tokens, *at) ? int(numberOf(text, tokens[*at])) : -1;
}

// ---- One file: where its objects are, its catalogue, information and pages ----

struct PdfObject {
    qsizetype begin = -1; // -1: not in use
    qsizetype end = -1;
    std::vector<Token> tokens; // from its "n g obj" to its stream's keyword or its end
};

struct ParsedPdf {
    QByteArrayView text;
    std::vector<PdfObject> objects; // by number
    qsizetype header = 0;           // where the first object starts
    std::vector<Token> trailer;     // the trailer's dictionary
    int root = -1;
    int info = -1;
    int pages = -1;
    std::vector<int> kids;

    bool inUse(qint64 number) const
    {
        return number > 0 && number < qint64(objects.size()) && objects[size_t(number)].begin >= 0;
    }
    const std::vector<Token> &tokensOf(int number) const { return objects[size_t(number)].tokens; }
};

bool readCrossReferences(ParsedPdf &pdf)
{
    const QByteArrayView text = pdf.text;
    const qsizetype marker = QByteArrayView(text).lastIndexOf("startxref");
    if (marker < 0)
        return false;
    const auto tail = tokensOf(text, marker, text.size());
    if (!tail || tail->size() < 2 || (*tail)[1].kind != Token::Integer)
        return false;
    const qint64 table = numberOf(text, (*tail)[1]);
    if (table <= 0 || table >= marker)
        return false;
    const auto tokens = tokensOf(text, qsizetype(table), marker);
    // "xref 0 n", n entries of three tokens, "trailer" and its dictionary.
    if (!tokens || tokens->size() < 4 || wordOf(text, (*tokens)[0]) != "xref" || numberOf(text, (*tokens)[1]) != 0)
        return false;
    const qint64 count = numberOf(text, (*tokens)[2]);
    if (count < 1 || qint64(tokens->size()) < 4 + 3 * count)
        return false;
    pdf.objects.resize(size_t(count));
    std::vector<qsizetype> starts;
    for (qint64 n = 1; n < count; ++n) {
        const size_t entry = size_t(3 + 3 * n);
        const QByteArrayView kind = wordOf(text, (*tokens)[entry + 2]);
        if (kind == "f")
            continue;
        const qint64 at = numberOf(text, (*tokens)[entry]);
        if (kind != "n" || at <= 0 || at >= table)
            return false;
        pdf.objects[size_t(n)].begin = qsizetype(at);
        starts.push_back(qsizetype(at));
    }
    const size_t trailer = size_t(3 + 3 * count);
    if (wordOf(text, (*tokens)[trailer]) != "trailer")
        return false;
    pdf.trailer.assign(tokens->begin() + qsizetype(trailer) + 1, tokens->end());
    if (pdf.trailer.size() < 2 || wordOf(text, pdf.trailer.front()) != "<<")
        return false;
    std::sort(starts.begin(), starts.end());
    if (starts.empty() || std::adjacent_find(starts.begin(), starts.end()) != starts.end())
        return false;
    pdf.header = starts.front();
    for (PdfObject &object : pdf.objects) {
        if (object.begin < 0)
            continue;
        const auto next = std::upper_bound(starts.begin(), starts.end(), object.begin);
        object.end = next == starts.end() ? qsizetype(table) : *next;
    }
    return true;
}

bool readObjects(ParsedPdf &pdf)
{
    for (size_t n = 1; n < pdf.objects.size(); ++n) {
        PdfObject &object = pdf.objects[n];
        if (object.begin < 0)
            continue;
        auto tokens = tokensOf(pdf.text, object.begin, object.end);
        if (!tokens || tokens->size() < 3 || numberOf(pdf.text, (*tokens)[0]) != qint64(n) ||
            wordOf(pdf.text, (*tokens)[2]) != "obj")
            return false;
        object.tokens = std::move(*tokens);
    }
    return true;
}

bool readPageTree(ParsedPdf &pdf)
{
    const QByteArrayView text = pdf.text;
    pdf.root = referenceEntry(text, pdf.trailer, "/Root");
    pdf.info = referenceEntry(text, pdf.trailer, "/Info");
    if (!pdf.inUse(pdf.root))
        return false;
    pdf.pages = referenceEntry(text, pdf.tokensOf(pdf.root), "/Pages");
    if (!pdf.inUse(pdf.pages))
        return false;
    const std::vector<Token> &pages = pdf.tokensOf(pdf.pages);
    const std::optional<size_t> kids = entryOf(text, pages, "/Kids");
    if (!kids || wordOf(text, pages[*kids]) != "[")
        return false;
    size_t i = *kids + 1;
    for (; isReference(text, pages, i); i += 3) {
        const qint64 kid = numberOf(text, pages[i]);
        if (!pdf.inUse(kid))
            return false;
        // One level of pages: a kid that is itself a tree of pages is not this engine's.
        const std::vector<Token> &page = pdf.tokensOf(int(kid));
        const std::optional<size_t> type = entryOf(text, page, "/Type");
        if (!type || wordOf(text, page[*type]) != "/Page")
            return false;
        pdf.kids.push_back(int(kid));
    }
    return i < pages.size() && wordOf(text, pages[i]) == "]";
}

std::optional<ParsedPdf> parsePdf(const QByteArray &bytes)
{
    ParsedPdf pdf;
    pdf.text = bytes;
    if (!bytes.startsWith("%PDF-") || !readCrossReferences(pdf) || !readObjects(pdf) || !readPageTree(pdf))
        return std::nullopt;
    return pdf;
}

// ---- Writing ----

// Replacements of token texts, applied in order of position.
struct Edit {
    qsizetype begin;
    qsizetype end;
    QByteArray text;
};

void writeEdited(QByteArray &out, QByteArrayView text, qsizetype begin, qsizetype end, std::vector<Edit> edits)
{
    std::sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) { return a.begin < b.begin; });
    qsizetype at = begin;
    for (const Edit &edit : edits) {
        out.append(text.sliced(at, edit.begin - at));
        out.append(edit.text);
        at = edit.end;
    }
    out.append(text.sliced(at, end - at));
}

// A font embedded in part is named with a tag of six capitals and a plus sign; the second file's
// fonts are other parts of the same fonts, so they take tags of their own.
bool isSubsetName(QByteArrayView name)
{
    return name.size() > 8 && name[7] == '+' &&
           std::all_of(name.begin() + 1, name.begin() + 7, [](char c) { return c >= 'A' && c <= 'Z'; });
}

QSet<QByteArray> subsetTags(const ParsedPdf &pdf)
{
    QSet<QByteArray> tags;
    for (const PdfObject &object : pdf.objects)
        for (const Token &token : object.tokens)
            if (token.kind == Token::Name && isSubsetName(wordOf(pdf.text, token)))
                tags.insert(wordOf(pdf.text, token).sliced(1, 6).toByteArray());
    return tags;
}

class Joiner {
public:
    Joiner(const ParsedPdf &first, const ParsedPdf &second) : m_first(first), m_second(second) {}

    std::optional<QByteArray> join()
    {
        numberTheSecond();
        m_firstTags = subsetTags(m_first);
        QByteArray out;
        out.reserve(m_first.text.size() + m_second.text.size() + 64 * qsizetype(m_second.kids.size()) + 1024);
        out.append(m_first.text.first(m_first.header));
        std::vector<qsizetype> offsets(size_t(m_size), -1);
        for (int n : inFileOrder(m_first)) {
            offsets[size_t(n)] = out.size();
            const PdfObject &object = m_first.objects[size_t(n)];
            if (n == m_first.pages)
                writeEdited(out, m_first.text, object.begin, object.end, joinedKids());
            else
                out.append(m_first.text.sliced(object.begin, object.end - object.begin));
        }
        for (int n : inFileOrder(m_second)) {
            if (m_number[size_t(n)] < 0 || n == m_second.pages)
                continue;
            offsets[size_t(m_number[size_t(n)])] = out.size();
            if (!writeRenumbered(out, n))
                return std::nullopt;
        }
        writeCrossReferences(out, offsets);
        return out;
    }

private:
    // The second file's objects follow the first's, in the order of their numbers; its pages hang
    // from the first's tree, and its catalogue, tree and information are left behind.
    void numberTheSecond()
    {
        m_size = int(m_first.objects.size());
        m_number.assign(m_second.objects.size(), -1);
        for (size_t n = 1; n < m_second.objects.size(); ++n) {
            const int number = int(n);
            if (m_second.inUse(number) && number != m_second.root && number != m_second.info &&
                number != m_second.pages)
                m_number[n] = m_size++;
        }
        m_number[size_t(m_second.pages)] = m_first.pages;
    }

    static std::vector<int> inFileOrder(const ParsedPdf &pdf)
    {
        std::vector<int> numbers;
        for (size_t n = 1; n < pdf.objects.size(); ++n)
            if (pdf.objects[n].begin >= 0)
                numbers.push_back(int(n));
        std::sort(numbers.begin(), numbers.end(),
                  [&](int a, int b) { return pdf.objects[size_t(a)].begin < pdf.objects[size_t(b)].begin; });
        return numbers;
    }

    std::vector<Edit> joinedKids() const
    {
        const QByteArrayView text = m_first.text;
        const std::vector<Token> &tokens = m_first.tokensOf(m_first.pages);
        std::vector<Edit> edits;
        size_t close = *entryOf(text, tokens, "/Kids") + 1 + 3 * m_first.kids.size();
        QByteArray added;
        for (int kid : m_second.kids)
            added += QByteArray::number(m_number[size_t(kid)]) + " 0 R\n";
        edits.push_back({tokens[close].begin, tokens[close].begin, added});
        if (const std::optional<size_t> count = entryOf(text, tokens, "/Count");
            count && tokens[*count].kind == Token::Integer)
            edits.push_back({tokens[*count].begin, tokens[*count].end,
                             QByteArray::number(qulonglong(m_first.kids.size() + m_second.kids.size()))});
        return edits;
    }

    bool writeRenumbered(QByteArray &out, int n)
    {
        const QByteArrayView text = m_second.text;
        const PdfObject &object = m_second.objects[size_t(n)];
        const std::vector<Token> &tokens = object.tokens;
        std::vector<Edit> edits{{tokens[0].begin, tokens[0].end, QByteArray::number(m_number[size_t(n)])}};
        for (size_t i = 3; i < tokens.size(); ++i) {
            if (isReference(text, tokens, i)) {
                const qint64 target = numberOf(text, tokens[i]);
                // A reference to the catalogue or the information has no place in the joined file.
                if (!m_second.inUse(target) || m_number[size_t(target)] < 0)
                    return false;
                edits.push_back({tokens[i].begin, tokens[i].end, QByteArray::number(m_number[size_t(target)])});
                i += 2;
            } else if (tokens[i].kind == Token::Name && isSubsetName(wordOf(text, tokens[i]))) {
                edits.push_back(
                    {tokens[i].begin + 1, tokens[i].begin + 7, tagFor(wordOf(text, tokens[i]).sliced(1, 6))});
            }
        }
        writeEdited(out, text, object.begin, object.end, std::move(edits));
        return true;
    }

    QByteArray tagFor(QByteArrayView old)
    {
        const auto known = m_tags.find(old.toByteArray());
        if (known != m_tags.end())
            return known->second;
        QByteArray tag;
        do {
            tag = "AAAAAA";
            for (int i = 5, n = m_nextTag++; i >= 0; --i, n /= 26)
                tag[i] = char('A' + n % 26);
        } while (m_firstTags.contains(tag)); // each number makes a tag of its own
        m_tags[old.toByteArray()] = tag;
        return tag;
    }

    void writeCrossReferences(QByteArray &out, const std::vector<qsizetype> &offsets) const
    {
        const qsizetype table = out.size();
        out += "xref\n0 " + QByteArray::number(m_size) + "\n0000000000 65535 f \n";
        for (int n = 1; n < m_size; ++n) {
            if (offsets[size_t(n)] < 0)
                out += "0000000000 65535 f \n";
            else
                out += QByteArray::number(qlonglong(offsets[size_t(n)])).rightJustified(10, '0') + " 00000 n \n";
        }
        // The first file's trailer, counting the objects of both.
        const QByteArrayView text = m_first.text;
        const Token &first = m_first.trailer.front(), &last = m_first.trailer.back();
        std::vector<Edit> edits;
        if (const std::optional<size_t> size = entryOf(text, m_first.trailer, "/Size"))
            edits.push_back({m_first.trailer[*size].begin, m_first.trailer[*size].end, QByteArray::number(m_size)});
        out += "trailer\n";
        writeEdited(out, text, first.begin, last.end, std::move(edits));
        out += "\nstartxref\n" + QByteArray::number(qlonglong(table)) + "\n%%EOF\n";
    }

    const ParsedPdf &m_first;
    const ParsedPdf &m_second;
    std::vector<int> m_number; // the second file's object numbers in the joined file; -1 left out
    int m_size = 0;
    QSet<QByteArray> m_firstTags;
    std::map<QByteArray, QByteArray> m_tags;
    int m_nextTag = 1;
};

} // namespace

std::optional<QByteArray> joinPdfs(const QByteArray &first, const QByteArray &second)
{
    const std::optional<ParsedPdf> one = parsePdf(first);
    const std::optional<ParsedPdf> two = parsePdf(second);
    if (!one || !two)
        return std::nullopt;
    return Joiner(*one, *two).join();
}

} // namespace tessik
