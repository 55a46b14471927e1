#include "app/core/user_files.h"

#include "app/core/paths.h"
#include "app/core/sample_folder.h"
#include "files/codepage.h"
#include "files/safe_write.h"
#include "platform/core/platform.h"

#include <QDir>
#include <QFile>

namespace tessik {

QString resolveUserFolder(const Platform &platform)
{
    QString base = platform.environmentVariable(QStringLiteral("AppData"));
    if (base.isEmpty())
        base = platform.environmentVariable(QStringLiteral("XDG_DATA_HOME"));
    if (base.isEmpty())
        base = joinPath(joinPath(platform.homeFolder(), QStringLiteral(".local")), QStringLiteral("share"));
    return withTrailingSeparator(QDir::toNativeSeparators(joinPath(base, QStringLiteral("Tessik"))));
}

QString readFirstLine(const QString &path, bool *readable)
{
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (readable)
        *readable = opened;
    if (!opened)
        return QString();
    // One line is all we want; a stray huge file must not be read whole.
    const QByteArray head = file.read(64 * 1024);
    qsizetype end = head.size();
    for (qsizetype i = 0; i < head.size(); ++i) {
        if (head[i] == '\r' || head[i] == '\n') {
            end = i;
            break;
        }
    }
    return decode1252(head.left(end));
}

bool writeSingleLine(const QString &path, const QString &line)
{
    return writeFileSafely(path, encode1252(line) + "\r\n").ok;
}

namespace {

QStringList copySamples(const QString &programFolder, const QString &userFolder)
{
    QStringList copied;
    const QDir source(programFolder);
    const QStringList names = source.entryList({QStringLiteral("*.rca.xml")}, QDir::Files | QDir::Readable,
                                               QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        QFile sample(source.filePath(name));
        if (!sample.open(QIODevice::ReadOnly))
            continue;
        // A sample that cannot be copied is skipped: the user's own files matter more than a demo.
        if (writeFileSafely(joinPath(userFolder, name), sample.readAll()).ok)
            copied.append(name);
    }
    return copied;
}

} // namespace

UserFiles prepareUserFiles(const Platform &platform)
{
    UserFiles files;
    files.UserFolder = resolveUserFolder(platform);
    QDir().mkpath(files.UserFolder);

    bool historyReadable = false;
    const QString history = readFirstLine(files.UserFolder + kHistoryFileName, &historyReadable);
    files.StoredVersion = kNoVersion;
    if (historyReadable) {
        files.LastFolder = withTrailingSeparator(history);
        const QString stored = readFirstLine(files.UserFolder + kVersionFileName);
        if (!stored.isEmpty())
            files.StoredVersion = stored;
    }
    if (files.LastFolder.isEmpty())
        files.LastFolder = files.UserFolder;

    // Versions are fixed-width texts, so comparing them character by character orders them by age.
    if (QString::compare(ProgramVersion, files.StoredVersion, Qt::CaseSensitive) > 0)
        files.copiedSamples = copySamples(sampleFolder(platform.programFolder()), files.UserFolder);
    return files;
}

void writeShutdownFiles(const QString &UserFolder, const QString &LastFolder)
{
    QDir().mkpath(UserFolder);
    writeSingleLine(UserFolder + kHistoryFileName, LastFolder);
    writeSingleLine(UserFolder + kVersionFileName, ProgramVersion);
}

} // namespace tessik
