#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>

/// The monotonic reference every measurement is taken against.
using Steady = std::chrono::steady_clock;

/// Milliseconds (fractional) from @p from to @p to.
inline double msBetween(Steady::time_point from, Steady::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

inline double msSince(Steady::time_point from)
{
    return msBetween(from, Steady::now());
}

/// Nanoseconds on the monotonic reference; the same clock in every process of the machine.
inline std::int64_t steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Steady::now().time_since_epoch()).count();
}

/// CPU time this process has used, in milliseconds.
inline double processCpuMs()
{
    timespec used {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}
