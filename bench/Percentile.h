#pragma once

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
