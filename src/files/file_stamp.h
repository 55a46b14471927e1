#pragma once

#include <QByteArray>
#include <QString>

namespace tessik {

// What a file held when this program last read or wrote it: its size and a hash of its bytes,
// enough to tell whether another program has written over it since. The modification time is
// no help here: copies and restores keep an old one, and a file touched without a change of
// its bytes holds nothing that an overwrite would lose. The hash is BLAKE2b, which Qt computes
// five times quicker than SHA-256: a file is hashed as it is opened and twice as it is saved.
// Stamps are never stored, so the choice can change.
struct FileStamp {
    bool known = false;
    qint64 size = 0;
    QByteArray digest;

    static FileStamp of(const QByteArray &bytes);
};

// The stamp of the file as it is now; not known when it cannot be read.
FileStamp stampOnDisk(const QString &path);

// Whether the file at `path` now holds other bytes than the stamp says. Not when nothing is known
// of it, nor when it is gone (writing it again loses nothing) or is no ordinary file (a save
// there fails with its own message); but when it cannot be read to tell.
bool changedSince(const QString &path, const FileStamp &stamp);

// The question asked before Save writes over a file that another program has changed.
QString changedFileQuestion(const QString &path);

} // namespace tessik
