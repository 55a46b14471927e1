#pragma once

#include "files/io_result.h"

#include <QByteArray>
#include <QString>

namespace tessik {

// What is done with a link at the name itself. Followed, the file it leads to is read or written,
// as for any file a user chose. Not followed, a read refuses it and a write puts the new file in
// the link's place, leaving what it led to alone: for the program's own files, whose folders
// someone else may plant a link in.
enum class AtLink { Follow, NotFollowed };

enum class FileKind { Missing, Ordinary, Folder, Link, Other };
// What the name stands for; a link is Link only when not followed. Missing also when the name
// cannot be looked at (a folder on the way that may not be entered).
FileKind fileKind(const QString &path, AtLink link);

struct FileBytes : IoResult {
    QByteArray bytes;
    qint64 size = 0;       // the file's size when it was opened
    bool tooLarge = false; // refused unread: larger than the limit
};

// The bytes of an ordinary file, refused unread when it is larger than maxBytes. Nothing else is
// opened for reading: a pipe waits for a writer, a device may never end, so either would hold
// up whoever reads. The file is checked again once it is open, in case the name was replaced.
FileBytes readOrdinaryFile(const QString &path, qint64 maxBytes, AtLink link = AtLink::Follow);
// Up to maxBytes from the start of an ordinary file, however large the file is.
FileBytes readOrdinaryFileStart(const QString &path, qint64 maxBytes, AtLink link = AtLink::Follow);

} // namespace tessik
