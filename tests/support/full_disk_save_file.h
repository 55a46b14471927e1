#pragma once

#include <QSaveFile>

#include <algorithm>

namespace tessik::test {

// A save file on a disk that fills up: the first `room` bytes go through, then writing fails.
class FullDiskSaveFile : public QSaveFile {
public:
    FullDiskSaveFile(const QString &name, qint64 room) : QSaveFile(name), m_room(room) {}

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        if (m_room <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 written = QSaveFile::writeData(data, std::min(length, m_room));
        if (written > 0)
            m_room -= written;
        return written;
    }

private:
    qint64 m_room;
};

} // namespace tessik::test
