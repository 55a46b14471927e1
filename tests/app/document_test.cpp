// The document on its own: what its recovery copy holds while the block editor has typing that
// OK has not stored, when Save may write over its file without asking, and the names chosen in
// save dialogs.
#include "app/core/chosen_file.h"
#include "app/core/document.h"
#include "app/core/recovery_copies.h"
#include "files/analysis_writer.h"
#include "support/test_env.h"
#include "support/test_main.h"
#include "support/window.h"

#include <QDir>

using namespace tessik;
using namespace tessik::test;

namespace {

// The copy this document keeps, or nothing.
QByteArray copyOf(const TestEnvironment &env)
{
    const QDir folder(env.userFolder() + kRecoveryFolderName);
    const QStringList copies = folder.entryList({"*.analysis"}, QDir::Files);
    return copies.size() == 1 ? readBytes(folder.filePath(copies[0])) : QByteArray();
}

using DocumentStep = std::function<void(Document &, TestEnvironment &)>;
// What happens after the typing, what the copy then holds (empty: there is none) and what it may not hold.
using Typing = std::tuple<DocumentStep, QString, QString>;
// What becomes of the file after it was opened, the path saved to, and whether Save asks first.
using Overwrite = std::tuple<std::function<void(const QString &)>, QString, bool>;
// The name chosen, the file type chosen, whether a foreign ending is kept, whether the completed
// name is there already, and the path saved under (empty: the user kept that file).
using Ending = std::tuple<QString, int, bool, bool, QString>;

const QString kTyped = QString::fromUtf8("Seal worn \u2265 3 mm"), kTypedNotes = QString::fromUtf8("Pump \u6cf5");
const QString kPictures = "PDF document (*.pdf)|*.pdf|SVG picture (*.svg)|*.svg|PNG picture (*.png)|*.png";

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Typing in the open editor of a freshly opened analysis is in the copy as OK would store
    // it, with characters the file's code page lacks; what undoes the typing takes it out again.
    void recoveryCopyHoldsTheTyping_data()
    {
        const DocumentStep nothing = [](Document &, TestEnvironment &) {};
        test::addRows<Typing>({
            {"typed only", {nothing, kTyped + "</text>", ""}},
            {"the notes too", {nothing, "<notes>" + kTypedNotes + "</notes>", ""}},
            {"typed back to what is stored",
             {[](Document &d, TestEnvironment &) { d.setEditorTyping(2, "Block 2", ""); }, "", ""}},
            {"the editor closed without OK", {[](Document &d, TestEnvironment &) { d.clearEditorTyping(); }, "", ""}},
            {"stored with OK, the editor closed",
             {[](Document &d, TestEnvironment &) { d.commitBlock(2, kTyped, kTypedNotes), d.clearEditorTyping(); },
              kTyped, ""}},
            {"the block deleted", {[](Document &d, TestEnvironment &) { d.deleteBlock(2); }, "<active> 0 ", kTyped}},
            {"another file opened",
             {[](Document &d, TestEnvironment &env) { d.open(env.path("work/Other.rca.xml")); }, "", ""}},
            {"saved without it",
             {[](Document &d, TestEnvironment &env) { d.save(env.path("work/Pump.rca.xml")); }, kTyped, ""}},
        });
    }
    void recoveryCopyHoldsTheTyping()
    {
        QFETCH(Typing, row);
        const auto [then, holds, lacks] = row;
        TestEnvironment env;
        QVERIFY(writeBytes(env.path("work/Pump.rca.xml"), writeAnalysis(analysisWith(3))) &&
                writeBytes(env.path("work/Other.rca.xml"), writeAnalysis(analysisWith(1))));
        Document d;
        d.keepRecoveryCopies(env.userFolder());
        QVERIFY(d.open(env.path("work/Pump.rca.xml")).ok);
        d.setEditorTyping(2, kTyped, kTypedNotes);
        QTRY_VERIFY2(QString::fromUtf8(copyOf(env)).contains(kTyped), "the typing is not in the copy");
        then(d, env);
        QTRY_VERIFY2(holds.isEmpty() ? copyOf(env).isEmpty() : QString::fromUtf8(copyOf(env)).contains(holds),
                     qPrintable(copyOf(env)));
        QVERIFY2(lacks.isEmpty() || !QString::fromUtf8(copyOf(env)).contains(lacks), qPrintable(copyOf(env)));
        QVERIFY2(!readBytes(env.path("work/Pump.rca.xml")).contains("Seal worn"), "typing reached the file");
    }

    // Save asks before it writes over its file when another program has put other bytes there
    // since this one read or wrote it; not for the same bytes written again, a file that has
    // gone, or another file chosen with Save As.
    void saveAsksOnlyWhenTheFileChanged_data()
    {
        const auto put = [](const QByteArray &bytes) {
            return [bytes](const QString &path) { QVERIFY(writeBytes(path, bytes)); };
        };
        QByteArray sameSize = writeAnalysis(analysisWith(3));
        sameSize.replace("Block 3", "Block 9");
        test::addRows<Overwrite>({
            {"untouched", {[](const QString &) {}, "Pump.rca.xml", false}},
            {"the same bytes written again", {put(writeAnalysis(analysisWith(3))), "Pump.rca.xml", false}},
            {"other bytes of the same size", {put(sameSize), "Pump.rca.xml", true}},
            {"a block more", {put(writeAnalysis(analysisWith(4))), "Pump.rca.xml", true}},
            {"removed", {[](const QString &path) { QVERIFY(QFile::remove(path)); }, "Pump.rca.xml", false}},
            {"changed, but saved as another file", {put(sameSize), "Other.rca.xml", false}},
        });
    }
    void saveAsksOnlyWhenTheFileChanged()
    {
        QFETCH(Overwrite, row);
        const auto [change, savedAs, asks] = row;
        TestEnvironment env;
        const QString pump = env.path("work/Pump.rca.xml"), target = env.path("work/" + savedAs);
        QVERIFY(writeBytes(pump, writeAnalysis(analysisWith(3))));
        Document d;
        QVERIFY(d.open(pump).ok);
        change(pump);
        const QString question = d.overwriteQuestion(target);
        QCOMPARE(question.isEmpty(), !asks);
        QVERIFY2(!asks || question.contains(QDir::toNativeSeparators(pump)), qPrintable(question));
        // Once written, the file is this program's again.
        QVERIFY(d.save(target).ok && d.overwriteQuestion(target).isEmpty());
    }

    // A name chosen to save under ends in an ending the dialog offers: the chosen type's when it
    // has none. When that makes the name of a file that is there, the user is asked, and the
    // default answer keeps that file.
    void namesChosenToSaveUnder_data()
    {
        test::addRows<Ending>({
            {"analysis without its ending", {"Pump", 0, false, false, "Pump.rca.xml"}},
            {"analysis with its ending in capitals", {"Pump.RCA.XML", 0, false, false, "Pump.RCA.XML"}},
            {"analysis with another ending", {"Pump.txt", 0, false, false, "Pump.txt.rca.xml"}},
            {"analysis completed onto a file that is there", {"Pump", 0, false, true, ""}},
            {"picture without an ending, PNG chosen", {"Pump", 2, true, false, "Pump.png"}},
            {"picture with a dot of its own", {"Pump 3.5 bar", 1, true, false, "Pump 3.5 bar.svg"}},
            {"picture with an ending of another type", {"Pump.jpg", 2, true, false, "Pump.jpg"}},
            {"picture ending differs from the type chosen", {"Pump.SVG", 0, true, false, "Pump.SVG"}},
            {"cancelled", {"", 0, false, false, ""}},
        });
    }
    void namesChosenToSaveUnder()
    {
        QFETCH(Ending, row);
        const auto [name, type, picture, there, saved] = row;
        TestEnvironment env;
        const QString filter = picture ? kPictures : "KelvaneAnalysis (*.rca.xml)|*.rca.xml";
        const QString completed = env.path("work/" + name + (picture ? ".png" : ".rca.xml"));
        QVERIFY(!there || writeBytes(completed, "kept"));
        if (!name.isEmpty())
            env.platform.fileAnswers << env.path("work/" + name);
        env.platform.fileTypeAnswers << type;
        const QString path = chooseFileWithEnding(env.platform, {FileDialogMode::Save, filter, "T", "x", "/"},
                                                  picture ? ForeignEnding::Kept : ForeignEnding::Completed);
        QCOMPARE(path, saved.isEmpty() ? QString() : env.path("work/" + saved));
        // The dialog of one type proposes its ending itself.
        QCOMPARE(env.platform.fileRequests.value(0).defaultSuffix, QString(picture ? "" : ".rca.xml"));
        QCOMPARE(env.platform.messages.size(), qsizetype(there));
        QVERIFY(!there || (env.platform.messages[0].contains(completed) && readBytes(completed) == "kept"));
        // A name to open is the dialog's.
        env.platform.fileAnswers << "/a/Pump";
        QCOMPARE(chooseFileWithEnding(env.platform, {FileDialogMode::Open, filter, "T", "x", "/"}), QString("/a/Pump"));
    }
};

TESSIK_TEST(DocumentTest)
#include "document_test.moc"
