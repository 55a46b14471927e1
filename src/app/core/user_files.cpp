#include "app/core/user_files.h"

#include "app/core/sample_folder.h"
#include "files/analysis_reader.h"
#include "files/codepage.h"
#include "files/ordinary_file.h"
#include "files/paths.h"
#include "files/safe_write.h"
#include "platform/core/platform.h"

#include <QDir>

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
    // One line is all we want; a stray huge file must not be read whole. The program's own files
    // are ordinary files in its own folder: anything else planted there is not read, or waited on.
    const FileBytes head = readOrdinaryFileStart(path, 64 * 1024, AtLink::NotFollowed);
    if (!head.ok) {
        line.reason = head.reason;
        return line;
    }
    qsizetype end = head.bytes.size();
    for (qsizetype i = 0; i < head.bytes.size(); ++i) {
        if (head.bytes[i] == '\r' || head.bytes[i] == '\n') {
            end = i;
            break;
        }
    }
    line.ok = true;
    const QByteArray text = head.bytes.left(end);
    line.text = text.startsWith(kUtf8Mark) ? fileNameFromBytes(text.mid(kUtf8Mark.size())) : decode1252(text);
    return line;
}

IoResult writeSingleLine(const QString &path, const QString &line)
{
    const QString text = line + kLineBreak;
    // A folder name the code page cannot hold is kept exactly, in UTF-8 with its mark (and a name's
    // bytes that are no UTF-8 as they are); every other line is written as before, so older
    // programs still read it. A link planted at the name is replaced, never written through.
    if (firstUnencodable(text) >= 0)
        return writeFileSafely(path, kUtf8Mark + fileNameBytes(text), AtLink::NotFollowed);
    return writeFileSafely(path, encode1252(text), AtLink::NotFollowed);
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
        if (fileKind(target, AtLink::NotFollowed) != FileKind::Missing)
            continue;
        const FileBytes sample = readOrdinaryFile(source.filePath(name), kMaxAnalysisFileBytes);
        // A sample that cannot be copied is skipped: the user's own files matter more than a demo.
        if (sample.ok && writeFileSafely(target, sample.bytes, AtLink::NotFollowed).ok)
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
