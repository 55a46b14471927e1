// Start-up on arbitrary history and version files: it must always settle on a usable folder
// and version, and never copy samples when the stored version is not older.
#include "app/core/user_files.h"
#include "fuzz_check.h"
#include "platform/fake/fake_platform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

namespace {

void put(const QString &path, const std::uint8_t *data, std::size_t size)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(reinterpret_cast<const char *>(data), qint64(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tessik;
    static QTemporaryDir root;
    const QString appData = root.path() + QStringLiteral("/appdata");
    QDir(appData).removeRecursively();
    QDir().mkpath(appData + QStringLiteral("/Tessik"));

    // The input is split at its first NUL (or its middle) into the history and the version file;
    // a leading byte chooses which files exist.
    const std::uint8_t shape = size > 0 ? data[0] : 0;
    const std::uint8_t *body = size > 0 ? data + 1 : data;
    const std::size_t bodySize = size > 0 ? size - 1 : 0;
    std::size_t split = bodySize / 2;
    for (std::size_t i = 0; i < bodySize; ++i)
        if (body[i] == 0) {
            split = i;
            break;
        }
    if (shape & 1)
        put(appData + QStringLiteral("/Tessik/Tessik.hst"), body, split);
    if (shape & 2)
        put(appData + QStringLiteral("/Tessik/Tessik.ver"), body + split, bodySize - split);

    FakePlatform platform;
    platform.environment.insert(QStringLiteral("AppData"), appData);
    platform.program = root.path() + QStringLiteral("/no-program-folder");
    const UserFiles files = prepareUserFiles(platform);
    FUZZ_CHECK(!files.UserFolder.isEmpty());
    FUZZ_CHECK(!files.LastFolder.isEmpty());
    FUZZ_CHECK(!files.StoredVersion.isEmpty());
    FUZZ_CHECK(files.LastFolder.endsWith(QLatin1Char('/')) || files.LastFolder.endsWith(QLatin1Char('\\')));
    FUZZ_CHECK(!files.LastFolder.contains(QLatin1Char('\r')) && !files.LastFolder.contains(QLatin1Char('\n')));

    // What shut-down writes, start-up reads back exactly.
    writeShutdownFiles(files.UserFolder, files.LastFolder);
    const UserFiles again = prepareUserFiles(platform);
    FUZZ_CHECK(again.LastFolder == files.LastFolder);
    FUZZ_CHECK(again.StoredVersion == ProgramVersion);
    return 0;
}
