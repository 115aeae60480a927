#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <vector>

// The value below which the given fraction of the samples lies (0 for none).
inline double percentile(std::vector<double> values, double fraction) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

inline double worst(const std::vector<double>& values) {
    return percentile(values, 1.0);
}

// Five runs of a benchmark, reported as median and worst beside the other statistics.
inline void fiveRunsWithWorst(benchmark::internal::Benchmark* benchmark) {
    benchmark->Repetitions(5)->ComputeStatistics("max", worst);
}
