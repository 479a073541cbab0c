// bench_clock.h: the benchmarks' one clock, and the median they report.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

// Milliseconds on a steady clock; only differences mean anything.
inline double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The middle of the times (the upper one of an even count), so that a run disturbed by another
// process or a page-cache flush does not count; sorts them.
inline double Median(std::vector<double> &times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
