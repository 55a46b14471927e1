// The phrase search over a large library of analyses, timed against ripgrep on the same folder
// in the same run. Both read from a warm page cache: the folder is written once and reused, and
// each side runs once before timing starts.
//
//   build/bin/bench_search                 (both phrases, 30 timed runs each)
//   build/bin/bench_search --runs=100

#include "search/phrase_search.h"

#include <benchmark/benchmark.h>

#include "bench_summary.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

using namespace tessik;

namespace {

constexpr int kAnalyses = 10000;
const char *const kLibraryRoot = "/tmp/tessik-bench-search-v2";
// A caption only a handful of analyses carry.
const char *const kRareCaption = "Quench tank overflow";
constexpr int kRareEvery = 1700;

int gRuns = 30;

// ---- A small writer of realistic analysis files, line for line as the program lays them out.

const char *const kCaptions[] = {"Conveyor stopped",
                                 "Sensor data missing",
                                 "Operator not trained",
                                 "Belt worn",
                                 "Alarm ignored",
                                 "Night shift understaffed",
                                 "Maintenance overdue",
                                 "Wrong part fitted",
                                 "Valve stuck open",
                                 "Pressure too high",
                                 "Procedure unclear",
                                 "Label unreadable",
                                 "Supplier changed resin",
                                 "Pump cavitation",
                                 "Fatigue after overtime",
                                 "Drawing out of date",
                                 "Handover skipped",
                                 "Gauge not calibrated",
                                 "Cooling fan failed",
                                 "Bearing overheated",
                                 "Software update untested",
                                 "Spare parts out of stock",
                                 "Checklist not used",
                                 "Dust in the enclosure",
                                 "Power dip at start-up",
                                 "Training record missing",
                                 "Motor overloaded",
                                 "Work order misread"};
const char *const kNoteWords[] = {"Technology",
                                  "Science",
                                  "Human Factors",
                                  "seen twice this month",
                                  "see log 14",
                                  "confirmed by the supervisor",
                                  "needs a second look",
                                  "photo attached",
                                  "measured at 3 bar",
                                  "vendor contacted",
                                  "temperature logged hourly"};
const char *const kCategories[] = {
    "",        "Physical Resources", "Structure/Process", "Information", "Knowledge and Skills",
    "Motives", "Wellness/Capacity"};
const char *const kSubjects[] = {"Line 3", "Packing cell", "Kiln 2",     "Boiler house", "Press 7",
                                 "Dock B", "Mixer",        "Paint shop", "Filler",       "Chiller"};
const char *const kEvents[] = {"stopped twice", "scrap rate doubled", "late deliveries",    "near miss",   "fire alarm",
                               "oil leak",      "customer complaint", "unplanned downtime", "quality hold"};
const char *const kOffices[] = {"Plant North", "Plant South", "Head Office", "Lab", "Warehouse"};

template <std::size_t N> const char *pick(QRandomGenerator &random, const char *const (&list)[N])
{
    return list[random.bounded(int(N))];
}

void numberLine(std::string &out, const char *tag, int value)
{
    out += "    <";
    out += tag;
    out += '>';
    out += value < 0 ? "" : " ";
    out += std::to_string(value);
    out += " </";
    out += tag;
    out += ">\r\n";
}

void textLine(std::string &out, const char *indent, const char *tag, const std::string &value)
{
    out += indent;
    out += '<';
    out += tag;
    out += '>';
    out += value;
    out += "</";
    out += tag;
    out += ">\r\n";
}

// Most analyses are small; a few run to the full sixty blocks.
int blockCountFor(QRandomGenerator &random)
{
    return random.bounded(100) < 92 ? 5 + random.bounded(3) : 8 + random.bounded(53);
}

std::string analysisText(QRandomGenerator &random, int index)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<analysis>\r\n";
    textLine(out, "  ", "description", std::string(pick(random, kSubjects)) + " " + pick(random, kEvents));
    textLine(out, "  ", "email", "operator" + std::to_string(random.bounded(40)));
    textLine(out, "  ", "office", pick(random, kOffices));
    const int blocks = blockCountFor(random);
    for (int slot = 1; slot <= blocks; ++slot) {
        const bool live = random.bounded(20) != 0;
        std::string caption = pick(random, kCaptions);
        if (slot == 2 && index % kRareEvery == 0)
            caption = kRareCaption;
        std::string notes;
        for (int words = random.bounded(3); words > 0; --words)
            notes += std::string(notes.empty() ? "" : ", ") + pick(random, kNoteWords);
        out += "  <block>\r\n";
        numberLine(out, "id", slot);
        numberLine(out, "active", live ? -1 : 0);
        numberLine(out, "parent", live && slot > 1 ? random.bounded(slot) : 0);
        numberLine(out, "x", random.bounded(60));
        numberLine(out, "y", random.bounded(41) - 20);
        textLine(out, "    ", "text", live ? caption : std::string());
        textLine(out, "    ", "notes", live ? notes : std::string());
        textLine(out, "    ", "category", pick(random, kCategories));
        out += "  </block>\r\n";
    }
    out += "</analysis>\r\n";
    return out;
}

QString libraryFolder()
{
    return QString::fromLatin1(kLibraryRoot) + QStringLiteral("/analyses");
}

// Written once; later runs find the completion mark and reuse the files.
bool ensureLibrary()
{
    const QString mark = QString::fromLatin1(kLibraryRoot) + QStringLiteral("/complete");
    if (QFile::exists(mark))
        return true;
    QDir(libraryFolder()).removeRecursively();
    if (!QDir().mkpath(libraryFolder()))
        return false;
    QRandomGenerator random(16010203);
    qint64 total = 0;
    for (int i = 0; i < kAnalyses; ++i) {
        const std::string text = analysisText(random, i);
        QFile file(libraryFolder() + QStringLiteral("/Analysis_%1.rca.xml").arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) != qint64(text.size()))
            return false;
        total += qint64(text.size());
    }
    std::printf("Wrote %d analyses, %.1f MB, into %s\n", kAnalyses, double(total) / 1e6, qPrintable(libraryFolder()));
    QFile done(mark);
    return done.open(QIODevice::WriteOnly);
}

// ---- The two contenders. Each returns how many files it listed.

int runOurs(const QString &phrase)
{
    return int(searchFolder(libraryFolder(), phrase).entries.size());
}

// ripgrep as a child process, its list read through a pipe just as a caller would use it.
int runRipgrep(const QByteArray &phrase)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    const QByteArray folder = QFile::encodeName(libraryFolder());
    char *argv[] = {const_cast<char *>("rg"),
                    const_cast<char *>("-i"),
                    const_cast<char *>("-l"),
                    const_cast<char *>("-F"),
                    const_cast<char *>(phrase.constData()),
                    const_cast<char *>(folder.constData()),
                    nullptr};
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, "rg", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    int lines = 0;
    char buffer[65536];
    for (ssize_t got; spawned == 0 && (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        lines += int(std::count(buffer, buffer + got, '\n'));
    close(pipeEnds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return -1;
    return lines;
}

// ---- Timing.

using Clock = std::chrono::steady_clock;

template <typename Run> double secondsOf(Run &&run, int &listed)
{
    const auto start = Clock::now();
    listed = run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double mean(const std::vector<double> &values)
{
    double sum = 0;
    for (double v : values)
        sum += v;
    return sum / double(values.size());
}

struct Row {
    int listed = 0;
    double oursMedian = 0, rgMedian = 0, oursMean = 0, rgMean = 0;
};
std::map<std::string, Row> gTable;

// Each timed iteration runs both, in alternating order, so that a disturbance on the shared
// machine falls on both sides alike. The benchmark's own time column is ours.
void BM_SearchAgainstRipgrep(benchmark::State &state, const char *phraseText)
{
    if (!ensureLibrary()) {
        state.SkipWithError("could not write the analysis library");
        return;
    }
    const QString phrase = QString::fromUtf8(phraseText);
    const QByteArray phraseBytes = phrase.toUtf8();
    int oursListed = 0, rgListed = 0;
    secondsOf([&] { return runOurs(phrase); }, oursListed);
    secondsOf([&] { return runRipgrep(phraseBytes); }, rgListed);
    if (rgListed < 0) {
        state.SkipWithError("ripgrep (rg) could not be run");
        return;
    }
    if (oursListed != rgListed) {
        state.SkipWithError(
            ("ours listed " + std::to_string(oursListed) + " files, ripgrep " + std::to_string(rgListed)).c_str());
        return;
    }

    std::vector<double> ours, rg;
    bool oursFirst = true;
    for (auto _ : state) {
        int listed = 0;
        double oursTime = 0;
        if (oursFirst) {
            oursTime = secondsOf([&] { return runOurs(phrase); }, listed);
            rg.push_back(secondsOf([&] { return runRipgrep(phraseBytes); }, listed));
        } else {
            rg.push_back(secondsOf([&] { return runRipgrep(phraseBytes); }, listed));
            oursTime = secondsOf([&] { return runOurs(phrase); }, listed);
        }
        ours.push_back(oursTime);
        state.SetIterationTime(oursTime);
        oursFirst = !oursFirst;
    }
    Row row{oursListed, median(ours), median(rg), mean(ours), mean(rg)};
    gTable[phraseText] = row;
    state.counters["files_listed"] = row.listed;
    state.counters["ours_median_ms"] = row.oursMedian * 1e3;
    state.counters["rg_median_ms"] = row.rgMedian * 1e3;
    state.counters["ours/rg"] = row.oursMedian / row.rgMedian;
}

void registerBenchmarks()
{
    for (const char *phrase : {"quench TANK", "block"}) {
        benchmark::RegisterBenchmark(("SearchAgainstRipgrep/\"" + std::string(phrase) + "\"").c_str(),
                                     BM_SearchAgainstRipgrep, phrase)
            ->Iterations(gRuns)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
}

void printTable()
{
    if (gTable.empty())
        return;
    std::printf("\nWarm page cache, %d analyses, %d timed runs of each side (median / mean, ms):\n", kAnalyses, gRuns);
    std::printf("%-14s %7s %17s %17s %14s\n", "phrase", "listed", "ours", "rg -i -l -F", "ours/rg");
    for (const auto &[phrase, row] : gTable)
        std::printf("%-14s %7d %8.2f /%7.2f %8.2f /%7.2f %6.2f /%6.2f\n", ("\"" + phrase + "\"").c_str(), row.listed,
                    row.oursMedian * 1e3, row.oursMean * 1e3, row.rgMedian * 1e3, row.rgMean * 1e3,
                    row.oursMedian / row.rgMedian, row.oursMean / row.rgMean);
    for (const auto &[phrase, row] : gTable)
        printSummary("search \"" + phrase + "\" (" + std::to_string(row.listed) + " of 10,000 files) vs rg -i -l -F",
                     row.oursMedian * 1e3, row.rgMedian * 1e3, "ms", 1.0);
}

} // namespace

int main(int argc, char **argv)
{
    // Our own option first, so that Google Benchmark does not reject it.
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--runs=", 7) == 0)
            gRuns = std::max(1, std::atoi(argv[i] + 7));
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    registerBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printTable();
    return 0;
}
