#pragma once

#include "app/core/report/pictures.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace tessik {

struct ReportInput;

// One piece of the report, in the order it is read. Every format shows each kind alike, so the
// words and their order are decided once, here.
struct ReportElement {
    enum Kind {
        Heading,    // a section: level 1
        Subheading, // within a section: level 2
        Paragraph,
        Item,     // one entry of a list
        Table,    // rows of cells; each cell a list of lines
        Picture,  // pictures[picture], described by text
        Notes,    // a block's notes as written, line breaks kept
        Emphasis, // a remark standing in for something missing
    };
    Kind kind = Paragraph;
    QString text;
    std::vector<std::vector<QStringList>> rows;
    bool headerRow = false; // the table's first row names its columns
    int picture = -1;
};

struct ReportOutline {
    QString title; // the event description, or words that there is none
    std::vector<ReportElement> elements;
    std::vector<ReportPicture> pictures;
};

ReportOutline reportOutline(const ReportInput &input);

// A date and time as the report writes them.
QString reportTime(const QDateTime &time);

// The text split at its line breaks (CR LF, CR, LF and the Unicode line and paragraph separators).
QStringList textLines(const QString &text);

// The text with the characters an XML document cannot hold replaced by visible stand-ins: a
// control character by its picture (U+2400 onwards), a stray surrogate or a non-character by
// the replacement character. Every other character is kept.
QString xmlSafeText(QString text);

} // namespace tessik
