#include "floor_table.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace halvern::bench {
namespace {

using Run = benchmark::BenchmarkReporter::Run;

// "BM_WarmStart/world:0": the function and its arguments, without iteration or repetition
// suffixes.
std::string Key(const Run& run) {
    return run.run_name.args.empty() ? run.run_name.function_name
                                     : run.run_name.function_name + "/" + run.run_name.args;
}

// CPU time per iteration in seconds: the thread's own time, system calls included, so that other
// work on a shared machine does not count.
double Seconds(const Run& run) {
    return run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
}

double Counter(const Run& run, const char* name) {
    const auto found = run.counters.find(name);
    return found == run.counters.end() ? 0.0 : found->second.value;
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Time(double seconds) {
    if (seconds >= 1e-3) {
        return Format("%.3g ms", seconds * 1e3);
    }
    if (seconds >= 1e-6) {
        return Format("%.3g µs", seconds * 1e6);
    }
    return Format("%.3g ns", seconds * 1e9);
}

// The worlds of the start-up and memory benchmarks, by their argument.
constexpr const char* kWorldNames[] = {"scale", "demo", "many-files"};

struct Row {
    std::string figure;
    std::string measured;
    std::string floor;
    std::string ratio;
    std::string target;
    std::string result;
};

std::string Verdict(bool met) {
    return met ? "met" : "MISSED";
}

class Table {
  public:
    explicit Table(const std::map<std::string, Run>& runs) : runs_(runs) {}

    // The run of that benchmark, or nothing when it did not run or failed.
    const Run* Find(const std::string& key) const {
        const auto found = runs_.find(key);
        return found == runs_.end() || found->second.error_occurred ? nullptr : &found->second;
    }

    // A start on a world against its floor.
    void StartUp(const char* what, int world, double limit) {
        const std::string suffix = "/world:" + std::to_string(world);
        StartRow(std::string(what) + " start, " + kWorldNames[world] + " world",
                 std::string("BM_") + what + "Start" + suffix,
                 std::string("BM_") + what + "StartFloor" + suffix, "", limit);
    }

    // A start on the many-files world named in another letter case than on the disk (world 3)
    // against the same start on the many-files world spelled exactly (world 2).
    void StartInOtherCase(const char* what, double limit) {
        const std::string start = std::string("BM_") + what + "Start/world:";
        StartRow(std::string(what) + " start, many-files world in another case", start + "3",
                 start + "2", "; floor: the same spelled exactly", limit);
    }

    void Query(int nauticalMiles, bool targeted) {
        const std::string name = "Nearby query, " + std::to_string(nauticalMiles) + " NM";
        const Run* figure = Find("BM_NearbyQuery/NM:" + std::to_string(nauticalMiles));
        const Run* floor = Find("BM_NearbyQueryFloor");
        if (figure == nullptr || floor == nullptr) {
            rows_.push_back({name, "not run", "", "", "", ""});
            return;
        }
        const double records = std::max(1.0, Counter(*figure, "records"));
        const double seconds = Seconds(*figure);
        rows_.push_back({name + Format(" (%.0f records, ", records) +
                             Format("%.1f listed)", Counter(*figure, "listed")),
                         Time(seconds) + ", " + Time(seconds / records) + "/record",
                         Time(Seconds(*floor)) + ", " + Time(Seconds(*floor) / records) + "/record",
                         Format("%.1f", seconds / Seconds(*floor)),
                         targeted ? "under 1 ms" : "(reported)",
                         targeted ? Verdict(seconds < 1e-3) : "-"});
    }

    void Refresh(int options) {
        const std::string name = "Overlay refresh, 100 lines, options " + std::to_string(options);
        const Run* figure = Find("BM_RefreshOverlay/options:" + std::to_string(options));
        const Run* floor = Find("BM_RefreshOverlayFloor");
        if (figure == nullptr || floor == nullptr) {
            rows_.push_back({name, "not run", "", "", "", ""});
            return;
        }
        const double perLine = Seconds(*figure) / 100;
        allocations_ = std::max(allocations_.value_or(0.0), Counter(*figure, "allocations"));
        rows_.push_back({name, Time(Seconds(*figure)) + ", " + Time(perLine) + "/line",
                         Time(Seconds(*floor)) + ", " + Time(Seconds(*floor) / 100) + "/line",
                         Format("%.1f", Seconds(*figure) / Seconds(*floor)), "under 1 µs/line",
                         Verdict(perLine < 1e-6)});
    }

    void Allocations() {
        const std::string name = "Heap allocations per refresh";
        if (!allocations_) {
            rows_.push_back({name, "not run", "", "", "", ""});
            return;
        }
        rows_.push_back(
            {name, Format("%g", *allocations_), "", "", "0", Verdict(*allocations_ == 0.0)});
    }

    void Memory(const char* what, int world) {
        const std::string name = std::string("Database memory, ") +
                                 (std::string(what) == "Warm" ? "warm" : "cold") + " start, " +
                                 kWorldNames[world] + " world";
        const Run* figure =
            Find(std::string("BM_DatabaseMemory") + what + "/world:" + std::to_string(world));
        if (figure == nullptr) {
            rows_.push_back({name, "not run", "", "", "", ""});
            return;
        }
        const double peak = Counter(*figure, "peak_per_airport");
        const double floor = Counter(*figure, "file_per_airport");
        const double name_length = Counter(*figure, "name_length");
        const double budget = 48 + name_length;
        rows_.push_back({name + Format(" (name %.1f bytes)", name_length),
                         Format("%.1f B/airport peak", peak) +
                             Format(", %.1f B kept", Counter(*figure, "kept_per_airport")),
                         Format("%.1f B/airport", floor), Format("%.2f", peak / floor),
                         Format("at most 48 + name = %.1f B", budget), Verdict(peak <= budget)});
    }

    // Crafted input at 1, 4 and 16 MB (`prefix` ends where the size follows): the 16 MB time
    // against 16 times the 1 MB time, at most twice that.
    void Growth(const std::string& name, const std::string& prefix) {
        const Run* one = Find(prefix + "1");
        const Run* four = Find(prefix + "4");
        const Run* sixteen = Find(prefix + "16");
        if (one == nullptr || four == nullptr || sixteen == nullptr) {
            rows_.push_back({name, "not run", "", "", "", ""});
            return;
        }
        const double ratio = Seconds(*sixteen) / (16 * Seconds(*one));
        rows_.push_back(
            {name,
             Time(Seconds(*one)) + " / " + Time(Seconds(*four)) + " / " + Time(Seconds(*sixteen)),
             "16 x " + Time(Seconds(*one)), Format("%.2f", ratio), "at most 2 x floor",
             Verdict(ratio <= 2)});
    }

    // The diagnostics report on the clutter world against listing its simulator directory once.
    void Report(double limit) {
        const Run* floor = Find("BM_SceneryReportFloor");
        StartRow("Report, clutter world", "BM_SceneryReport", "BM_SceneryReportFloor",
                 floor == nullptr
                     ? ""
                     : Format("; floor: listing %.0f folders", Counter(*floor, "folders")) +
                           Format(" and %.0f files once", Counter(*floor, "files")),
                 limit);
    }

    // One benchmark against another that does the least work it cannot avoid.
    void Ratio(const std::string& name, const std::string& figureKey, const std::string& floorKey,
               double limit) {
        const Run* figure = Find(figureKey);
        const Run* floor = Find(floorKey);
        if (figure == nullptr || floor == nullptr) {
            rows_.push_back({name, "not run", "", "", "", ""});
            return;
        }
        const double ratio = Seconds(*figure) / Seconds(*floor);
        rows_.push_back({name, Time(Seconds(*figure)), Time(Seconds(*floor)), Format("%.2f", ratio),
                         Format("at most %g x floor", limit), Verdict(ratio <= limit)});
    }

    void Print(std::ostream& out) const {
        out << "| Figure | Measured | Floor | Ratio | Target | Result |\n"
            << "|---|---|---|---|---|---|\n";
        for (const Row& row : rows_) {
            out << "| " << row.figure << " | " << row.measured << " | " << row.floor << " | "
                << row.ratio << " | " << row.target << " | " << row.result << " |\n";
        }
    }

  private:
    // `detail` follows the counts in the figure's parentheses.
    void StartRow(const std::string& name, const std::string& figureKey,
                  const std::string& floorKey, const std::string& detail, double limit) {
        const Run* figure = Find(figureKey);
        const Run* floor = Find(floorKey);
        if (figure == nullptr || floor == nullptr) {
            rows_.push_back({name, "not run", "", "", "", ""});
            return;
        }
        const double ratio = Seconds(*figure) / Seconds(*floor);
        rows_.push_back({name + Format(" (%.0f airports, ", Counter(*figure, "airports")) +
                             Format("%.0f files", Counter(*figure, "files")) + detail + ")",
                         Time(Seconds(*figure)), Time(Seconds(*floor)), Format("%.2f", ratio),
                         Format("at most %g x floor", limit), Verdict(ratio <= limit)});
    }

    const std::map<std::string, Run>& runs_;
    std::vector<Row> rows_;
    std::optional<double> allocations_;
};

}  // namespace

bool FloorTableReporter::ReportContext(const Context& context) {
    const benchmark::CPUInfo& cpu = context.cpu_info;
    machine_ = std::to_string(cpu.num_cpus) + " cores at " +
               Format("%.0f MHz", cpu.cycles_per_second / 1e6);
    if (!cpu.load_avg.empty()) {
        machine_ += ", load average";
        for (const double load : cpu.load_avg) {
            machine_ += Format(" %.2f", load);
        }
    }
    return ConsoleReporter::ReportContext(context);
}

void FloorTableReporter::ReportRuns(const std::vector<Run>& reports) {
    ConsoleReporter::ReportRuns(reports);
    // A benchmark's repetitions are all reported before their aggregates, so its median
    // replaces the single runs kept so far.
    for (const Run& run : reports) {
        if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
            runs_[Key(run)] = run;
        }
    }
}

void FloorTableReporter::Finalize() {
    ConsoleReporter::Finalize();
    Table table(runs_);
    // A start may cost little more than listing the scenery and reading the cache (warm) or
    // reading every scenery file (cold).
    for (const int world : {0, 1, 2}) {
        table.StartUp("Warm", world, 1.3);
    }
    for (const int world : {0, 1, 2}) {
        table.StartUp("Cold", world, 2.3);
    }
    // Folders named in another letter case than on the disk are looked for once each per start:
    // a start costs little more than on the same world spelled exactly.
    table.StartInOtherCase("Warm", 1.5);
    table.StartInOtherCase("Cold", 1.5);
    table.Query(30, true);
    table.Query(250, false);
    table.Refresh(13);
    table.Refresh(63);
    table.Allocations();
    for (const char* what : {"Warm", "Cold"}) {
        for (const int world : {0, 1, 2}) {
            table.Memory(what, world);
        }
    }
    const char* const shapes[] = {"shared-block", "one-long-block", "long-code",
                                  "step-chain",   "pointing-back",  "many-records"};
    for (int shape = 0; shape < 6; ++shape) {
        table.Growth(std::string("Crafted scenery file, ") + shapes[shape] + ", 1 / 4 / 16 MB",
                     "BM_CraftedScenery/shape:" + std::to_string(shape) + "/MB:");
    }
    table.Growth("Nearby query, all in range, 1 / 4 / 16 MB of airports", "BM_CraftedNearby/MB:");
    const char* const lists[] = {"scenery.cfg of areas", "world.vis", "one area of 4 KB files"};
    for (int list = 0; list < 3; ++list) {
        table.Growth(std::string("Crafted ") + lists[list] + ", 1 / 4 / 16 MB",
                     "BM_CraftedLists/list:" + std::to_string(list) + "/MB:");
    }
    table.Ratio("One 20-file area in 3,000 spellings, beside 3,000 empty areas",
                "BM_AreaSpellings/spellings:1", "BM_AreaSpellings/spellings:0", 1.5);
    // The report, once it searches the whole simulator directory, may cost twice a listing of
    // it.
    table.Report(2.0);
    table_
        << "\nMachine: " << machine_
        << ". Times are the median of the repetitions, in CPU time of the benchmark's thread.\n\n";
    table.Print(table_);
}

}  // namespace halvern::bench
