#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

// A console reporter that also keeps the time of each benchmark for a summary
// after the run: the median when the runs are repeated, else the only run.
// Keyed by the run name (without "_median").
struct Medians : benchmark::ConsoleReporter {
  std::map<std::string, double> ms;  // in each benchmark's own unit
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (median || (r.run_type == Run::RT_Iteration && !ms.count(r.run_name.str())))
        ms[r.run_name.str()] = r.GetAdjustedRealTime();
    }
  }
  double Of(const std::string& name) const {
    const auto found = ms.find(name);
    return found == ms.end() ? 0 : found->second;
  }
};
