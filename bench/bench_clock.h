// bench_clock.h: the benchmarks' one clock.
#pragma once

#include <chrono>

// Milliseconds on a steady clock; only differences mean anything.
inline double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
