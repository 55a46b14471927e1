// The phrase search over libraries of 10,000, 100,000 and 300,000 analyses, timed against ripgrep on the
// same folder in the same run: once as the window does it, from the press of the Search button
// until the last entry of the result list has been painted, and once as the bare search, for
// comparison. While the window searches, a timer ticking on its thread measures the longest
// time the window could not answer. Every side reads from a warm page cache: the folders are
// written once and reused, and each side runs once before timing starts.
//
//   build/bin/bench_search                 (30 timed runs on 10,000 files, a third as many on 100,000,
//                                           a tenth as many on 300,000)
//   build/bin/bench_search --runs=100

#include "app/ui/main_window.h"
#include "platform/fake/fake_platform.h"
#include "search/phrase_search.h"

#include <benchmark/benchmark.h>

#include "bench_qt_env.h"
#include "bench_summary.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

using namespace tessik;

namespace {

constexpr int kLibrarySizes[] = {10000, 100000, 300000};
const char *const kLibraryRoot = "/tmp/tessik-bench-search-v3";
// A caption only a handful of analyses carry.
const char *const kRareCaption = "Quench tank overflow";
const char *const kRarePhrase = "quench TANK";
// Every analysis has blocks.
const char *const kAllMatch = "block";
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

QString libraryFolder(int analyses)
{
    return QString::fromLatin1(kLibraryRoot) + QStringLiteral("/analyses-%1").arg(analyses);
}

// Written once; later runs find the completion mark and reuse the files.
bool ensureLibrary(int analyses)
{
    const QString folder = libraryFolder(analyses);
    const QString mark = folder + QStringLiteral(".complete");
    if (QFile::exists(mark))
        return true;
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder))
        return false;
    QRandomGenerator random(16010203);
    qint64 total = 0;
    for (int i = 0; i < analyses; ++i) {
        const std::string text = analysisText(random, i);
        QFile file(folder + QStringLiteral("/Analysis_%1.rca.xml").arg(i, 6, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) != qint64(text.size()))
            return false;
        total += qint64(text.size());
    }
    std::printf("Wrote %d analyses, %.1f MB, into %s\n", analyses, double(total) / 1e6, qPrintable(folder));
    QFile done(mark);
    return done.open(QIODevice::WriteOnly);
}

// ---- The contenders. Each returns how many files it listed.

int runBareSearch(const QString &folder, const QString &phrase)
{
    return int(searchFolder(folder, phrase).entries.size());
}

// The window on the scripted platform, its search panel open, as a user has it. Its controls
// are reached by their names; the folder searched is the one of the analysis last loaded.
class WindowRig {
public:
    WindowRig()
    {
        m_platform.environment.insert(QStringLiteral("AppData"), m_root.path() + QStringLiteral("/appdata"));
        m_platform.home = m_root.path();
        m_platform.program = m_root.path();
        m_platform.current = m_root.path();
        m_window = std::make_unique<MainWindow>(m_platform);
        m_window->show();
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setInterval(2);
        QObject::connect(&m_tick, &QTimer::timeout, [this] { tick(); });
    }

    // From the press of Search until the last entry is painted in view. The list still holds
    // the previous run's entries, as when a user searches again. Returns how many it listed,
    // or -1 when the last entry is not in view.
    int search(const QString &folder, const QString &phrase)
    {
        if (folder != m_folder)
            loadFrom(folder);
        QPushButton *start = control<QPushButton>("btnSearch");
        QListView *list = control<QListView>("lstFileNames");
        control<QLineEdit>("txtKeyWord")->setText(phrase);
        m_longestStall = 0;
        m_sinceTick.start();
        m_tick.start();
        start->click();
        // While the search runs its button reads "Cancel".
        while (start->text() != QStringLiteral("Search"))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        list->scrollToBottom();
        list->viewport()->repaint();
        tick();
        m_tick.stop();
        const int rows = list->model()->rowCount();
        const QRect last = list->visualRect(list->model()->index(rows - 1, 0));
        return rows == 0 || list->viewport()->rect().intersects(last) ? rows : -1;
    }

    double longestStall() const { return m_longestStall; }

private:
    template <typename Control> Control *control(const char *name) const
    {
        return m_window->findChild<Control *>(QString::fromLatin1(name));
    }

    // Load one analysis of the folder, as a user does before searching it, and open the search.
    void loadFrom(const QString &folder)
    {
        if (QPushButton *done = control<QPushButton>("btnAnalysisDone"))
            done->click();
        m_platform.fileAnswers.enqueue(folder + QStringLiteral("/Analysis_000000.rca.xml"));
        control<QPushButton>("btnLoadXML")->click();
        control<QPushButton>("btnAnalyze")->click();
        m_folder = folder;
    }

    void tick()
    {
        m_longestStall = std::max(m_longestStall, double(m_sinceTick.nsecsElapsed()) / 1e9);
        m_sinceTick.start();
    }

    QTemporaryDir m_root;
    FakePlatform m_platform;
    std::unique_ptr<MainWindow> m_window;
    QString m_folder;
    QTimer m_tick;
    QElapsedTimer m_sinceTick;
    double m_longestStall = 0;
};

// Made on first use, ended before the application object.
std::unique_ptr<WindowRig> gRig;

WindowRig &windowRig()
{
    if (!gRig)
        gRig = std::make_unique<WindowRig>();
    return *gRig;
}

// ripgrep as a child process, its list read through a pipe just as a caller would use it.
int runRipgrep(const QString &folderText, const QByteArray &phrase)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    const QByteArray folder = QFile::encodeName(folderText);
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

struct Row {
    int analyses = 0;
    int listed = 0;
    double window = 0, bare = 0, rg = 0;    // medians, seconds
    double stallMedian = 0, stallWorst = 0; // the longest stall of each search, seconds
};
std::map<std::pair<int, std::string>, Row> gTable;

struct Contender {
    const char *name;
    std::function<int()> run;
    std::vector<double> seconds;
};

// Each timed iteration runs every contender, in an order that turns from run to run, so that
// a disturbance on the shared machine falls on all alike. The benchmark's own time column is
// the window's.
void BM_SearchAgainstRipgrep(benchmark::State &state, int analyses, const char *phraseText)
{
    if (!ensureLibrary(analyses)) {
        state.SkipWithError("could not write the analysis library");
        return;
    }
    const QString folder = libraryFolder(analyses);
    const QString phrase = QString::fromUtf8(phraseText);
    const QByteArray phraseBytes = phrase.toUtf8();
    WindowRig &rig = windowRig();
    std::vector<Contender> contenders{{"window", [&] { return rig.search(folder, phrase); }, {}},
                                      {"bare", [&] { return runBareSearch(folder, phrase); }, {}},
                                      {"rg", [&] { return runRipgrep(folder, phraseBytes); }, {}}};
    std::vector<int> listed;
    for (Contender &contender : contenders)
        listed.push_back(contender.run());
    if (listed[2] < 0) {
        state.SkipWithError("ripgrep (rg) could not be run");
        return;
    }
    if (listed[0] != listed[2] || listed[1] != listed[2]) {
        state.SkipWithError(("the window listed " + std::to_string(listed[0]) + " files, the bare search " +
                             std::to_string(listed[1]) + ", ripgrep " + std::to_string(listed[2]))
                                .c_str());
        return;
    }

    std::vector<double> stalls;
    std::size_t first = 0;
    for (auto _ : state) {
        for (std::size_t k = 0; k < contenders.size(); ++k) {
            Contender &contender = contenders[(first + k) % contenders.size()];
            int count = 0;
            contender.seconds.push_back(secondsOf(contender.run, count));
            if (&contender == &contenders[0]) {
                state.SetIterationTime(contender.seconds.back());
                stalls.push_back(rig.longestStall());
            }
        }
        first = (first + 1) % contenders.size();
    }
    Row row{analyses,
            listed[2],
            median(contenders[0].seconds),
            median(contenders[1].seconds),
            median(contenders[2].seconds),
            median(stalls),
            *std::max_element(stalls.begin(), stalls.end())};
    gTable[{analyses, phraseText}] = row;
    state.counters["files_listed"] = row.listed;
    state.counters["window_ms"] = row.window * 1e3;
    state.counters["bare_ms"] = row.bare * 1e3;
    state.counters["rg_ms"] = row.rg * 1e3;
    state.counters["window/rg"] = row.window / row.rg;
    state.counters["stall_ms"] = row.stallMedian * 1e3;
    state.counters["stall_worst_ms"] = row.stallWorst * 1e3;
}

int runsFor(int analyses)
{
    if (analyses > 100000)
        return std::max(3, gRuns / 10);
    return analyses > 10000 ? std::max(1, gRuns / 3) : gRuns;
}

// The largest library is searched for the phrase every file holds: it shows how the cost grows
// with the number of entries, and it fills the list with the most rows.
bool searchedFor(int analyses, const char *phrase)
{
    return analyses <= 100000 || std::strcmp(phrase, kAllMatch) == 0;
}

void registerBenchmarks()
{
    for (int analyses : kLibrarySizes)
        for (const char *phrase : {kRarePhrase, kAllMatch}) {
            if (!searchedFor(analyses, phrase))
                continue;
            benchmark::RegisterBenchmark(
                ("SearchAgainstRipgrep/" + std::to_string(analyses) + "/\"" + std::string(phrase) + "\"").c_str(),
                BM_SearchAgainstRipgrep, analyses, phrase)
                ->Iterations(runsFor(analyses))
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
}

std::string thousands(int value)
{
    const std::string digits = std::to_string(value);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

constexpr double kTargetRatio10k = 1.0;
constexpr double kTargetRatio100k = 1.2;
constexpr double kTargetRatioRare100k = 0.7;
constexpr double kTargetRatioAll300k = 0.9;
// Three times the files may cost at most this many times the time.
constexpr double kTargetGrowth = 3.2;
constexpr double kStallBudgetMs = 50;

double targetRatio(int analyses, const std::string &phrase)
{
    if (analyses > 100000)
        return kTargetRatioAll300k;
    if (analyses > 10000)
        return phrase == kRarePhrase ? kTargetRatioRare100k : kTargetRatio100k;
    return kTargetRatio10k;
}

void printTable()
{
    if (gTable.empty())
        return;
    std::printf("\nWarm page cache, medians of %d timed runs (10,000 files), %d (100,000 files) and %d (300,000 "
                "files), ms;\nwindow = press of Search to the last entry painted; stall = the window's longest "
                "unanswered time in one search (median / worst):\n",
                runsFor(10000), runsFor(100000), runsFor(300000));
    std::printf("%8s %-14s %7s %9s %9s %9s %9s %17s\n", "files", "phrase", "listed", "window", "bare", "rg",
                "window/rg", "stall");
    for (const auto &[key, row] : gTable)
        std::printf("%8d %-14s %7d %9.1f %9.1f %9.1f %9.2f %8.1f /%7.1f\n", row.analyses,
                    ("\"" + key.second + "\"").c_str(), row.listed, row.window * 1e3, row.bare * 1e3, row.rg * 1e3,
                    row.window / row.rg, row.stallMedian * 1e3, row.stallWorst * 1e3);
    for (const auto &[key, row] : gTable)
        printSummary("search in the window \"" + key.second + "\" (" + thousands(row.listed) + " of " +
                         thousands(row.analyses) + " files), press to last entry, vs rg -i -l -F",
                     row.window * 1e3, row.rg * 1e3, "ms", targetRatio(row.analyses, key.second));
    const auto all100k = gTable.find({100000, kAllMatch});
    const auto all300k = gTable.find({300000, kAllMatch});
    if (all100k != gTable.end() && all300k != gTable.end())
        printSummary("search in the window \"block\", 300,000 files vs 100,000, press to last entry",
                     all300k->second.window * 1e3, all100k->second.window * 1e3, "ms", kTargetGrowth);
    // The budget holds for every search a user makes, so the row is the worst of them all.
    double stall = 0;
    for (const auto &[key, row] : gTable)
        stall = std::max(stall, row.stallWorst);
    printSummary("the window's longest stall in any search, worst of all runs, vs 50 ms", stall * 1e3, kStallBudgetMs,
                 "ms", 1.0);
}

} // namespace

int main(int argc, char **argv)
{
    useHeadlessQt();
    QApplication app(argc, argv);
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
    gRig.reset();
    printTable();
    return 0;
}
