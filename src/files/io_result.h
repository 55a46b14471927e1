#pragma once

#include <QByteArray>
#include <QString>

namespace tessik {

// What every operation that can fail on disk reports (reading, safe writing, listing a folder,
// the snapshot): whether it worked and, when it did not, why, in words for the user. Operations
// that also bring something back derive from it.
struct IoResult {
    bool ok = false;
    QString reason;

    static IoResult success() { return {true, QString()}; }
    static IoResult failure(const QString &reason) { return {false, reason}; }
};

// A file made in memory (a picture, a report), ready for the safe write.
struct EncodedFile : IoResult {
    QByteArray bytes;

    static EncodedFile of(const QByteArray &bytes) { return {{true, QString()}, bytes}; }
    static EncodedFile failure(const QString &reason) { return {{false, reason}, QByteArray()}; }
};

// Line breaks inside message box texts and the files the program writes.
inline const QString kLineBreak = QStringLiteral("\r\n");

// The message the user sees when a disk operation failed: what did not happen, the file (as
// shownFileName shows it), why, and optionally what it means for the user's data.
QString fileProblemMessage(const QString &headline, const QString &path, const QString &reason,
                           const QString &note = QString());

} // namespace tessik
