#pragma once

#include <algorithm>
#include <vector>

namespace vocamo::bench {

// The middle of the measurements, or the mean of the two middle ones.
inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace vocamo::bench
