#include "files/file_stamp.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>

#include <functional>

using namespace tessik;
using namespace tessik::test;

namespace {

// What became of the file after its stamp was taken (or not), and whether it now counts as changed.
struct Row {
    bool stamped;
    std::function<void(const QString &path)> then;
    bool changed;
};

} // namespace

Q_DECLARE_METATYPE(Row)

// Save asks before it writes over a file only when the file holds other bytes than it had when
// this program last read or wrote it: never when nothing is known of it, or it is gone or no
// longer a file.
class FileStampTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void changedOnlyWhenOtherBytesAreThere_data()
    {
        const auto put = [](QByteArray bytes) {
            return [=](const QString &path) { QVERIFY(writeBytes(path, bytes)); };
        };
        addRows<Row>({
            {"written again with the same bytes", {true, put("Pump failure"), false}},
            {"other bytes of the same size", {true, put("Pump failurE"), true}},
            {"other bytes of another size", {true, put("Pump"), true}},
            {"gone", {true, [](const QString &path) { QVERIFY(QFile::remove(path)); }, false}},
            {"a folder now",
             {true, [](const QString &path) { QVERIFY(QFile::remove(path) && QDir().mkpath(path)); }, false}},
            {"never stamped, other bytes", {false, put("Pump"), false}},
        });
    }
    void changedOnlyWhenOtherBytesAreThere()
    {
        QFETCH(Row, row);
        TestEnvironment env;
        const QString path = env.path("work/Pump.rca.xml");
        QVERIFY(writeBytes(path, "Pump failure"));
        const FileStamp stamp = row.stamped ? stampOnDisk(path) : FileStamp();
        row.then(path);
        QVERIFY2(changedSince(path, stamp) == row.changed,
                 row.changed ? "the other bytes are not seen" : "the file counts as changed");
    }
};

TESSIK_TEST(FileStampTest)

#include "file_stamp_test.moc"
