#pragma once

#include "files/io_result.h"

#include <QString>
#include <QStringList>

namespace tessik {

class Platform;

// Set by the build from the project version.
inline const QString ProgramVersion = QStringLiteral(TESSIK_DISPLAY_VERSION);
inline const QString kNoVersion = QStringLiteral("00.00.00");
inline const QString kHistoryFileName = QStringLiteral("Tessik.hst");
inline const QString kVersionFileName = QStringLiteral("Tessik.ver");

// What start-up learns from the per-user folder.
struct UserFiles {
    QString UserFolder; // ends with a separator
    QString LastFolder; // ends with a separator
    QString StoredVersion;
    QStringList copiedSamples;
};

// The per-user folder: AppData where it is set, otherwise the desktop's per-user data folder
// (XDG_DATA_HOME, by default ~/.local/share), followed by Tessik.
QString resolveUserFolder(const Platform &platform);

// Reads the history and version files, creating the folder on a first run, and copies the
// sample analyses beside the program when the stored version is older than this program,
// each only where no file of its name is there yet: a file in the user's folder is never replaced.
// Anything missing or empty is treated as on a first run; nothing here asks or reports.
UserFiles prepareUserFiles(const Platform &platform);

// Writes the history and version files at shut-down, as ordinary files of the folder (see
// writeSingleLine). A file that cannot be written is left as it was; shut-down goes on regardless.
void writeShutdownFiles(const QString &UserFolder, const QString &LastFolder);

struct FirstLine : IoResult {
    QString text; // without its line end
};

// The first line of one of the program's own text files, in the 8-bit code page or, after a UTF-8
// byte-order mark, in UTF-8 (a folder's bytes that are no UTF-8 kept as fileNameFromBytes keeps
// them); ok is false when it cannot be read or is no ordinary file: a link, a pipe or a folder
// in its place is neither read nor waited on.
FirstLine readFirstLine(const QString &path);

// One line ended by CR LF, in the 8-bit code page; a line the code page cannot hold is written
// in UTF-8 after a byte-order mark, so that it comes back exactly. Whatever stands at the name,
// a link included, is replaced by an ordinary file; nothing is written where a link leads.
IoResult writeSingleLine(const QString &path, const QString &line);

} // namespace tessik
