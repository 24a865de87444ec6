#pragma once

// The memory floor every frame benchmark is read against: a plain copy of
// one 800 x 600 x 32-bit frame, measured in the same run. The machine is
// shared, so absolute times wander; the ratio to this copy does much less.
//
// Use: register BM_FrameCopyFloor with BENCHMARK(...) first, run with a
// TFloorReporter, then call PrintRatios() to print one line per benchmark:
// its CPU time per iteration and that time divided by the floor's.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

inline constexpr size_t kFloorFrameWords = static_cast<size_t>(800) * 600;
inline constexpr char kFloorName[] = "BM_FrameCopyFloor";

inline void BM_FrameCopyFloor(benchmark::State& state) {
  std::vector<uint32_t> from(kFloorFrameWords, 0x00123456u);
  std::vector<uint32_t> to(kFloorFrameWords);
  for (auto _ : state) {
    benchmark::DoNotOptimize(from.data());
    std::memcpy(to.data(), from.data(), kFloorFrameWords * sizeof(uint32_t));
    benchmark::ClobberMemory();
  }
  state.SetLabel("floor: one 800 x 600 x 32-bit frame copied");
}

// Keeps each run's CPU time per iteration (wall time suffers more from the
// other users of the machine) and prints the ratios at the end.
class TFloorReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations <= 0 || run.error_occurred) continue;
      const double us =
          run.GetAdjustedCPUTime() * (run.time_unit == benchmark::kMicrosecond   ? 1.0
                                      : run.time_unit == benchmark::kNanosecond  ? 1e-3
                                      : run.time_unit == benchmark::kMillisecond ? 1e3
                                                                                 : 1e6);
      times_.emplace_back(run.benchmark_name(), us);
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // CPU time per iteration of `name` in microseconds, the mean when it ran
  // more than once (the floor is measured first and last); 0 when it did not run.
  double TimeOf(const std::string& name) const {
    double sum = 0;
    int count = 0;
    for (const auto& [runName, us] : times_)
      if (runName == name) {
        sum += us;
        ++count;
      }
    return count > 0 ? sum / count : 0;
  }

  // Prints "name  time us  ratio x floor" for every run but the floor itself.
  void PrintRatios() const {
    const double floor = TimeOf(kFloorName);
    if (floor <= 0) {
      std::printf("no floor measured: run %s too to see the ratios\n", kFloorName);
      return;
    }
    std::printf("\nRatio to the floor (one 800 x 600 frame copied: %.1f us CPU)\n", floor);
    for (const auto& [name, us] : times_) {
      if (name == kFloorName) continue;
      std::printf("  %-40s %9.1f us  %6.2f x floor\n", name.c_str(), us, us / floor);
    }
  }

 private:
  std::vector<std::pair<std::string, double>> times_;
};

// main() for a frame benchmark program: runs everything through the floor
// reporter and prints the ratios.
inline int RunWithFloor(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TFloorReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
