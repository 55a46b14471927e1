#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <csignal>
#include <filesystem>

namespace tessik::test {

TestEnvironment::TestEnvironment()
{
    QDir(root.path()).mkpath("work");
    platform.environment.insert("AppData", path("appdata"));
    platform.home = path("home");
    platform.program = path("program");
    platform.current = path("work");
}

// By the names' bytes: the folder may hold names that are no text, which QDir cannot remove.
TestEnvironment::~TestEnvironment()
{
    std::error_code ignored;
    std::filesystem::remove_all(QFile::encodeName(root.path()).toStdString(), ignored);
}

FullDisk::FullDisk()
{
    getrlimit(RLIMIT_FSIZE, &m_before);
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
    const rlimit full{100, m_before.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
}

FullDisk::~FullDisk()
{
    setrlimit(RLIMIT_FSIZE, &m_before);
}

void addRowsFrom(const QString &tableFile)
{
    QTest::addColumn<QStringList>("row");
    const QString text = QString::fromUtf8(readBytes(dataFile(tableFile)));
    QVERIFY2(!text.isEmpty(), qPrintable("no table in " + tableFile));
    for (const QString &line : text.split('\n'))
        if (!line.isEmpty() && !line.startsWith('#'))
            QTest::newRow(qPrintable(line.section('\t', 0, 0))) << line.split('\t')
                                                                       .mid(1)
                                                                       .replaceInStrings("\\t", "\t")
                                                                       .replaceInStrings("\\r", "\r")
                                                                       .replaceInStrings("\\n", "\n")
                                                                       .replaceInStrings("\\uDC80", QChar(0xDC80));
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void compareWithRecorded(const QStringList &madeLines, const QString &recordedFile)
{
    // Control characters are written as escapes, so that the file stays text, line for line.
    QStringList made;
    for (const QString &line : madeLines) {
        QString escaped;
        for (const QChar c : line)
            escaped += c == '\\'                                   ? QStringLiteral("\\\\")
                       : c.unicode() < 0x20 || c.unicode() == 0x7F ? QString::asprintf("\\x%02x", c.unicode())
                                                                   : QString(c);
        made << escaped;
    }
    if (kRecording)
        QVERIFY(writeBytes(recordedFile, made.join('\n').toUtf8() + '\n'));
    QString text = QString::fromUtf8(readBytes(recordedFile));
    if (text.endsWith('\n'))
        text.chop(1);
    const QStringList recorded = text.split('\n');
    for (qsizetype i = 0; i < std::max(made.size(), recorded.size()); ++i)
        QVERIFY2(made.value(i) == recorded.value(i),
                 qPrintable(QString("line %1: %2\nwanted: %3").arg(i + 1).arg(made.value(i), recorded.value(i))));
}

// Where two pictures differ: how many pixels, the first, and both colours there.
QString pictureDifference(const QImage &recordedPicture, const QImage &drawnPicture)
{
    const QImage recorded = recordedPicture.convertToFormat(QImage::Format_RGB32);
    const QImage drawn = drawnPicture.convertToFormat(QImage::Format_RGB32);
    if (recorded.size() != drawn.size())
        return QString::asprintf("size %dx%d, recorded %dx%d", drawn.width(), drawn.height(), recorded.width(),
                                 recorded.height());
    int count = 0;
    QString first;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (drawn.pixel(x, y) == recorded.pixel(x, y))
                continue;
            if (count++ == 0)
                first = QString::asprintf("(%d, %d) is #%06x, recorded #%06x", x, y, drawn.pixel(x, y) & 0xffffff,
                                          recorded.pixel(x, y) & 0xffffff);
        }
    }
    return count == 0 ? QString() : QStringLiteral("%1 pixels differ, first %2").arg(count).arg(first);
}

QStringList analysisLines(const QString &description, const QString &email, const QString &office,
                          const BlockTable &table)
{
    QStringList lines{description, email, office};
    for (int i = 1; i <= table.usedSlots(); ++i)
        lines << QString::asprintf("%d %d (%.9g, %.9g) ", table.block(i).active, table.block(i).parent,
                                   table.block(i).x, table.block(i).y) +
                     table.block(i).caption + '|' + table.block(i).notes + '|' + table.block(i).category;
    return lines;
}

} // namespace tessik::test
