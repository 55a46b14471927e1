#include "app/core/user_files.h"

#include "app/core/sample_folder.h"
#include "files/codepage.h"
#include "files/paths.h"
#include "files/safe_write.h"
#include "platform/core/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tessik {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

} // namespace

QString resolveUserFolder(const Platform &platform)
{
    QString base = platform.environmentVariable(QStringLiteral("AppData"));
    if (base.isEmpty())
        base = platform.environmentVariable(QStringLiteral("XDG_DATA_HOME"));
    if (base.isEmpty())
        base = joinPath(joinPath(platform.homeFolder(), QStringLiteral(".local")), QStringLiteral("share"));
    return withTrailingSeparator(QDir::toNativeSeparators(joinPath(base, QStringLiteral("Tessik"))));
}

FirstLine readFirstLine(const QString &path)
{
    FirstLine line;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        line.reason = file.errorString();
        return line;
    }
    // One line is all we want; a stray huge file must not be read whole.
    const QByteArray head = file.read(64 * 1024);
    qsizetype end = head.size();
    for (qsizetype i = 0; i < head.size(); ++i) {
        if (head[i] == '\r' || head[i] == '\n') {
            end = i;
            break;
        }
    }
    line.ok = true;
    const QByteArray text = head.left(end);
    line.text = text.startsWith(kUtf8Mark) ? QString::fromUtf8(text.mid(kUtf8Mark.size())) : decode1252(text);
    return line;
}

IoResult writeSingleLine(const QString &path, const QString &line)
{
    const QString text = line + kLineBreak;
    // A folder name the code page cannot hold is kept exactly, in UTF-8 with its mark; every
    // other line is written as before, so older programs still read it.
    if (firstUnencodable(text) >= 0)
        return writeFileSafely(path, kUtf8Mark + text.toUtf8());
    return writeFileSafely(path, encode1252(text));
}

namespace {

QStringList copySamples(const QString &programFolder, const QString &userFolder)
{
    QStringList copied;
    const QDir source(programFolder);
    const QStringList names =
        source.entryList({QStringLiteral("*.rca.xml")}, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        // A file of that name in the user's folder may be the user's own work: never replaced.
        const QString target = joinPath(userFolder, name);
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        QFile sample(source.filePath(name));
        if (!sample.open(QIODevice::ReadOnly))
            continue;
        // A sample that cannot be copied is skipped: the user's own files matter more than a demo.
        if (writeFileSafely(target, sample.readAll()).ok)
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

    const FirstLine history = readFirstLine(files.UserFolder + kHistoryFileName);
    files.StoredVersion = kNoVersion;
    if (history.ok) {
        files.LastFolder = withTrailingSeparator(history.text);
        const QString stored = readFirstLine(files.UserFolder + kVersionFileName).text;
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
