#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <ctime>

// The machine may be shared while a benchmark runs: the time the process spent working stands
// for the cost on an idle machine, and the wall-clock time is reported beside it. Every thread of
// the process counts, so work split among threads costs what all of them spent on it; what a
// user waits for is the wall-clock time.
struct FrameClock {
    double cpu = 0;  // seconds
    double wall = 0; // seconds
    std::int64_t frames = 0;

    static double processSeconds()
    {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
    }

    // Times `work`, which does `count` frames (moves, redraws) of what is measured.
    template <typename Work> void time(std::int64_t count, Work work)
    {
        const double cpuStart = processSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        work();
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        cpu += processSeconds() - cpuStart;
        frames += count;
    }

    double cpuMs() const { return frames ? cpu / double(frames) * 1e3 : 0; }
    double wallMs() const { return frames ? wall / double(frames) * 1e3 : 0; }

    void report(benchmark::State &state) const
    {
        state.counters["frame_ms"] = cpuMs();
        state.counters["frame_wall_ms"] = wallMs();
    }
};
