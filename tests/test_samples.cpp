#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/save_rules.h"
#include "model/classification.h"
#include "render/pixel_mapping.h"
#include "render/plot_text.h"
#include "render/surface.h"
#include "support/test_env.h"

#include <QDir>
#include <QTest>

#include <cmath>

using namespace tessik;

// The sample analyses that lie beside the program are made here, by the program's own
// writer; the committed files must match byte for byte. With TESSIK_WRITE_SAMPLES=1 the
// test writes them into the samples folder instead.

namespace {

struct BlockSpec {
    int x;
    int y;
    int parent;
    const char *caption;
    const char *notes;
    const char *category;
};

struct Sample {
    QString fileName;
    Analysis analysis;
};

const char *const kPhysical = "Physical Resources";
const char *const kProcess = "Structure/Process";
const char *const kInformation = "Information";
const char *const kKnowledge = "Knowledge and Skills";
const char *const kMotives = "Motives";
const char *const kWellness = "Wellness/Capacity";

Analysis build(const char *description, const char *email, const char *office, std::initializer_list<BlockSpec> blocks)
{
    Analysis analysis;
    analysis.description = QString::fromUtf8(description);
    analysis.email = QString::fromUtf8(email);
    analysis.office = QString::fromUtf8(office);
    BlockTable &t = analysis.table;
    for (const BlockSpec &b : blocks) {
        // Placed the way a click places a block: centred on the point, corner on whole units.
        const int id = t.addBlock(float(b.x + 5), float(b.y + 5));
        t.BlockParent[id] = std::int16_t(b.parent);
        t.BlockText[id] = QString::fromUtf8(b.caption);
        t.BlockNotes[id] = QString::fromUtf8(b.notes);
        t.BlockCategory[id] = QString::fromUtf8(b.category);
    }
    return analysis;
}

// Columns at x 0, 14, 28, 42 and 55; rows at y -19, -12, -6, -5, 5, 7 and 9: impacts on the
// left, each cause to the right of the block it explains.
QList<Sample> samples()
{
    QList<Sample> list;
    list.append({QStringLiteral("Conveyor_stoppage.rca.xml"),
                 build("Conveyor line 3 stopped twice in one shift", "jmeyer", "Plant North",
                       {
                           {0, -5, 0, "Line 3 stopped twice", "Technology", kPhysical},
                           {14, -19, 1, "Jam at the transfer point", "Science; Technology", kPhysical},
                           {14, 9, 1, "Restart took 40 minutes", "Human Factors", kProcess},
                           {28, -19, 2, "Photo eye out of line", "Technology", kPhysical},
                           {28, -5, 2, "Sensor data missing", "Technology", kInformation},
                           {42, -19, 4, "Bracket shaken loose", "Science; Technology", kPhysical},
                           {42, -5, 5, "Logger buffer full", "Technology", kProcess},
                           {55, -5, 7, "No alarm for a full buffer", "Technology; Human Factors", kInformation},
                           {28, 9, 3, "Fault code unclear to the crew", "Human Factors", kKnowledge},
                           {42, 9, 9, "Manual kept in the office", "Human Factors", kInformation},
                           {55, -19, 6, "Bracket not in the PM plan", "Human Factors", kProcess},
                       })});

    list.append({QStringLiteral("Failed_release.rca.xml"),
                 build("Release 4.2 rolled back after login failures", "r.okafor", "IT Operations",
                       {
                           {0, -5, 0, "Release 4.2 rolled back", "Technology", kProcess},
                           {14, -12, 1, "Users could not log in", "Technology; Human Factors", kWellness},
                           {14, 5, 1, "Rollback took three hours", "Human Factors", kKnowledge},
                           {28, -19, 2, "Token service used old config", "Technology", kInformation},
                           {28, -6, 2, "Cache not cleared on deploy", "Technology", kProcess},
                           {28, 7, 3, "Rollback steps never rehearsed", "Human Factors", kKnowledge},
                           {42, -19, 4, "Config change missing from release notes", "Human Factors", kInformation},
                           {42, -6, 5, "Deploy script skipped a step", "Technology", kProcess},
                           {55, -6, 8, "Script not tried on staging", "Technology; Human Factors", kProcess},
                           {42, 7, 6, "No time set aside for drills", "Human Factors", kMotives},
                           {55, 7, 10, "Team busy with two launches", "Human Factors", kWellness},
                           {55, -19, 7, "Changes agreed in chat only", "Human Factors", kProcess},
                       })});

    list.append({QStringLiteral("Medication_mixup.rca.xml"),
                 build("Patient given the wrong insulin dose", "nurse.lead", "Ward 7 West",
                       {
                           {0, -5, 0, "Wrong insulin dose given", "Science; Human Factors", kWellness},
                           {14, -12, 1, "Two look-alike pens side by side", "Science; Human Factors", kPhysical},
                           {14, 5, 1, "Dose not checked by a second nurse", "Human Factors", kProcess},
                           {28, -19, 2, "Pharmacy changed the supplier", "Technology", kProcess},
                           {28, -6, 2, "Both pens kept in one drawer", "Human Factors", kPhysical},
                           {28, 7, 3, "Ward short of two nurses", "Human Factors", kWellness},
                           {42, -19, 4, "No notice of the new labels", "Human Factors", kInformation},
                           {42, -6, 5, "Drawer labels out of date", "Human Factors", kInformation},
                           {42, 7, 6, "Sickness not covered", "Human Factors", kProcess},
                           {55, 7, 9, "Bank staff list empty", "Human Factors", kWellness},
                           {55, -19, 7, "New nurse not shown the pens", "Human Factors", kKnowledge},
                       })});

    Analysis basement =
        build("Archive basement flooded after heavy rain", "facilities", "Head Office",
              {
                  {0, -5, 0, "Archive boxes soaked", "Science", kPhysical},
                  {14, -12, 1, "Water came up the floor drain", "Science; Technology", kPhysical},
                  {14, 5, 1, "Boxes stored on the floor", "Human Factors", kProcess},
                  {28, -19, 2, "Sump pump failed", "Technology", kPhysical},
                  {28, -6, 2, "No backflow valve", "Technology", kPhysical},
                  {55, 7, 0, "Rain gauge alarm", "Technology", kInformation},
                  {42, -19, 4, "Float switch stuck", "Science; Technology", kPhysical},
                  {55, -19, 7, "Pump never tested", "Human Factors", kProcess},
                  {42, -6, 5, "Valve left out of the 1998 plans", "Technology; Human Factors", kInformation},
                  {42, 7, 11, "Flood risk not known to staff", "Human Factors", kKnowledge},
                  {28, 7, 3, "No shelves in the budget", "Human Factors", kMotives},
              });
    // A block deleted in the editor: its slot stays in the file, free, with its place and
    // category, as every saved analysis keeps them.
    basement.table.freeSlot(6);
    list.append({QStringLiteral("Flooded_basement.rca.xml"), basement});
    return list;
}

bool writingSamples()
{
    return qEnvironmentVariable("TESSIK_WRITE_SAMPLES") == QLatin1String("1");
}

QString samplePath(const QString &name)
{
    return QStringLiteral(TESSIK_SAMPLES_DIR "/") + name;
}

} // namespace

class TestSamples : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (!writingSamples())
            return;
        QVERIFY(QDir().mkpath(QStringLiteral(TESSIK_SAMPLES_DIR)));
        for (const Sample &sample : samples()) {
            const WriteResult result = saveAnalysisFile(samplePath(sample.fileName), sample.analysis, QLocale::c());
            QVERIFY2(result.ok, qPrintable(result.reason));
        }
    }

    void sample_data()
    {
        QTest::addColumn<int>("index");
        const QList<Sample> list = samples();
        for (int i = 0; i < list.size(); ++i)
            QTest::newRow(qPrintable(list[i].fileName)) << i;
    }

    void sample()
    {
        QFETCH(int, index);
        const Sample sample = samples().at(index); // a copy: the list is a temporary
        const QString path = samplePath(sample.fileName);

        // Written by the program, byte for byte.
        QCOMPARE(test::readBytes(path), writeAnalysis(sample.analysis, QLocale::c()));

        // Opens without a repair and gives back the same analysis.
        const ReadOutcome outcome = readAnalysisFile(path);
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.repairs, QStringList());
        QCOMPARE(writeAnalysis(outcome.analysis, QLocale::c()), writeAnalysis(sample.analysis, QLocale::c()));

        // Can be saved again as it stands.
        const Analysis &a = sample.analysis;
        QCOMPARE(saveValidationMessage(a.description, a.office, SaveCommand::Save), QString());
        QVERIFY(sample.fileName.endsWith(QStringLiteral(".rca.xml")));
    }

    void sampleIsADiagram_data() { sample_data(); }
    void sampleIsADiagram()
    {
        QFETCH(int, index);
        const QList<Sample> list = samples();
        const BlockTable &t = list.at(index).analysis.table;
        QVERIFY(t.liveCount() >= 6 && t.liveCount() <= 20);

        const QStringList words{QStringLiteral("Science"), QStringLiteral("Technology"),
                                QStringLiteral("Human Factors")};
        int longestChain = 0;
        for (int i = 1; i <= t.BlockCount; ++i) {
            if (!t.isLive(i))
                continue;
            const float x = t.BlockX[i];
            const float y = t.BlockY[i];
            QVERIFY2(x == std::round(x) && y == std::round(y), "positions are whole units");
            QVERIFY(x >= 0 && x <= 60 && y >= -20 && y <= 12);
            for (int j = i + 1; j <= t.BlockCount; ++j)
                if (t.isLive(j))
                    QVERIFY2(std::fabs(t.BlockX[j] - x) >= BlockBoxSize || std::fabs(t.BlockY[j] - y) >= BlockBoxSize,
                             qPrintable(QStringLiteral("boxes %1 and %2 overlap").arg(i).arg(j)));

            const int parent = t.BlockParent[i];
            if (parent != 0) {
                QVERIFY(t.isLive(parent));
                QVERIFY2(t.BlockX[parent] < x, "the parent lies further left");
            }
            int depth = 1;
            for (int p = parent; p != 0 && depth <= kMaxBlocks; p = t.BlockParent[p])
                ++depth;
            longestChain = std::max(longestChain, depth);

            QVERIFY(categoryIndex(t.BlockCategory[i]) > 0);
            QCOMPARE(presetEntries().count(t.BlockCategory[i]), qsizetype(1));
            QVERIFY(notesIndex(t.BlockNotes[i]) > 0);
            for (const QString &word : t.BlockNotes[i].split(QStringLiteral("; ")))
                QVERIFY2(words.contains(word), qPrintable(t.BlockNotes[i]));
        }
        QVERIFY(longestChain >= 4);
    }

    // Every caption must be readable in its box: at most five lines at the start-up scale,
    // measured with the caption font and a diagram narrower than the start-up window's.
    void captionsFitTheirBoxes_data() { sample_data(); }
    void captionsFitTheirBoxes()
    {
        QFETCH(int, index);
        const QList<Sample> list = samples();
        const BlockTable &t = list.at(index).analysis.table;
        Surface surface(940, 440);
        surface.setMapping(PixelMapping::forStartupSize(940, 440));
        surface.setFont(Surface::captionFont());
        const auto width = [&](const QString &text) { return surface.textWidth(text); };
        for (int i = 1; i <= t.BlockCount; ++i) {
            const CaptionLines lines = wrapCaption(t.BlockText[i], width);
            QVERIFY2(!lines.truncated && lines.lines.size() <= 5, qPrintable(t.BlockText[i]));
            for (const QString &line : lines.lines)
                QVERIFY2(!line.isEmpty() && !line.startsWith(QLatin1Char(' ')), qPrintable(t.BlockText[i]));
        }
    }

    // The search's tests look for this caption in the samples.
    void oneSampleHoldsTheSensorCaption()
    {
        int found = 0;
        for (const Sample &sample : samples())
            for (int i = 1; i <= sample.analysis.table.BlockCount; ++i)
                if (sample.analysis.table.BlockText[i].contains(QStringLiteral("Sensor data missing")))
                    ++found;
        QCOMPARE(found, 1);
    }

    void noOtherFilesInTheSamplesFolder()
    {
        QStringList expected;
        for (const Sample &sample : samples())
            expected << sample.fileName;
        expected.sort();
        QCOMPARE(
            QDir(QStringLiteral(TESSIK_SAMPLES_DIR)).entryList({QStringLiteral("*.rca.xml")}, QDir::Files, QDir::Name),
            expected);
    }
};

QTEST_MAIN(TestSamples)
#include "test_samples.moc"
