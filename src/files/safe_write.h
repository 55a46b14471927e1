#pragma once

#include "files/io_result.h"
#include "files/ordinary_file.h"

#include <QByteArray>
#include <QString>

class QSaveFile;

namespace tessik {

// Replaces the file with the bytes through a temporary file that is renamed into place only
// when everything was written: a failed write never damages the file that was there. A link at
// the name is followed unless told otherwise (see AtLink).
IoResult writeFileSafely(const QString &path, const QByteArray &bytes, AtLink link = AtLink::Follow);

// The same through a save file the caller made (tests pass one that fails part-way). After a
// failure nothing was committed: the save file discards its temporary copy when it goes.
IoResult writeThroughSaveFile(QSaveFile &file, const QByteArray &bytes);

// The user-facing reason for a path that cannot be written, checked before anything happens.
QString describeUnwritablePath(const QString &path, AtLink link = AtLink::Follow);

} // namespace tessik
