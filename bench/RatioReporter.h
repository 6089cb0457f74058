// A console reporter that also remembers each benchmark's wall and CPU time per iteration, by
// name without its "/iterations:N" suffix, so a program can print ratios against a baseline.
// A run that reported an error is left out: it has no time to compare.
#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        const std::string name = run.benchmark_name().substr(0, run.benchmark_name().find('/'));
        seconds[name] = run.real_accumulated_time / static_cast<double>(run.iterations);
        cpuSeconds[name] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
        const auto fastest = fastestSeconds.find(name);
        if (fastest == fastestSeconds.end() || seconds[name] < fastest->second)
          fastestSeconds[name] = seconds[name];
      }
  }
  std::map<std::string, double> seconds;
  std::map<std::string, double> cpuSeconds; // steadier than wall time on a busy machine
  // Over the repetitions of a benchmark: what other programs on a busy machine add only slows a run.
  std::map<std::string, double> fastestSeconds;
};
