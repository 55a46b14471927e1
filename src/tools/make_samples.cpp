// Makes the sample analyses that lie beside the program, with the program's own writer, so
// they are exactly what a user's save would give. Run it by hand after changing a sample and
// commit the files it writes into samples/.
#include "files/analysis_writer.h"
#include "files/safe_write.h"

#include <QDir>
#include <QList>

#include <cstdio>
#include <initializer_list>

using namespace tessik;

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
        t.link(id, b.parent);
        t.setCaption(id, QString::fromUtf8(b.caption));
        t.setNotes(id, QString::fromUtf8(b.notes));
        t.setCategory(id, QString::fromUtf8(b.category));
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

} // namespace

int main()
{
    const QString folder = QStringLiteral(TESSIK_SOURCE_DIR "/samples");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "Cannot make the folder %s\n", qPrintable(folder));
        return 1;
    }
    int failures = 0;
    for (const Sample &sample : samples()) {
        const QString path = folder + QLatin1Char('/') + sample.fileName;
        // The C locale: a sample must not take the decimal separator of whoever made it.
        const IoResult result = writeFileSafely(path, writeAnalysis(sample.analysis, QLocale::c()));
        if (result.ok) {
            std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
        } else {
            std::fprintf(stderr, "%s: %s\n", qPrintable(QDir::toNativeSeparators(path)), qPrintable(result.reason));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
