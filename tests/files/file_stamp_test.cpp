#include "files/file_stamp.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>

using namespace tessik;
using namespace tessik::test;

// Whether the file's stamp was taken; what is then put in its place: other bytes, or nothing
// ("gone") or a folder ("folder"); and whether it now counts as changed.
using Row = std::tuple<bool, QByteArray, bool>;

// Save asks before it writes over a file only when the file holds other bytes than it had when
// this program last read or wrote it: never when nothing is known of it, or it is gone or no
// longer a file.
class FileStampTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void changedOnlyWhenOtherBytesAreThere_data()
    {
        addRows<Row>({
            {"written again with the same bytes", {true, "Pump failure", false}},
            {"other bytes of the same size", {true, "Pump failurE", true}},
            {"other bytes of another size", {true, "Pump", true}},
            {"gone", {true, "gone", false}},
            {"a folder now", {true, "folder", false}},
            {"never stamped, other bytes", {false, "Pump", false}},
        });
    }
    void changedOnlyWhenOtherBytesAreThere()
    {
        QFETCH(Row, row);
        const auto &[stamped, then, changed] = row;
        TestEnvironment env;
        const QString path = env.path("work/Pump.rca.xml");
        QVERIFY(writeBytes(path, "Pump failure"));
        const FileStamp stamp = stamped ? stampOnDisk(path) : FileStamp();
        if (then == "gone" || then == "folder")
            QVERIFY(QFile::remove(path) && (then == "gone" || QDir().mkpath(path)));
        else
            QVERIFY(writeBytes(path, then));
        QVERIFY2(changedSince(path, stamp) == changed,
                 changed ? "the other bytes are not seen" : "the file counts as changed");
    }
};

TESSIK_TEST(FileStampTest)

#include "file_stamp_test.moc"
