#pragma once

// The benchmark program's summary: one table in which every figure stands next to its floor
// (measured in the same run), their ratio, the target and whether it was met. The console
// report of every benchmark still goes to the usual stream; the table follows at the end.

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace halvern::bench {

class FloorTableReporter : public benchmark::ConsoleReporter {
  public:
    // `table` receives the table once every benchmark has run.
    explicit FloorTableReporter(std::ostream& table) : table_(table) {}

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& reports) override;
    void Finalize() override;

  private:
    std::ostream& table_;
    std::string machine_;
    // Per benchmark (name without aggregate suffix): the median of its repetitions, or its one
    // run when it was not repeated.
    std::map<std::string, Run> runs_;
};

}  // namespace halvern::bench
