#pragma once

// What the benchmark programs measure with: wall time, medians and the
// process's resident memory.

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The median; the mean of the middle two for an even count, 0 for none.
inline double Median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Resident bytes of this process (or its peak so far); -1 when unknown.
inline long ResidentBytes(const char* field = "VmRSS:")
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == field) {
            long kb = 0;
            status >> kb;
            return kb * 1024;
        }
        std::getline(status, key);
    }
    return -1;
}

inline long PeakResidentBytes() { return ResidentBytes("VmHWM:"); }

} // namespace bench
