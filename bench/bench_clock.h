#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <ctime>

// The machine may be shared while a benchmark runs: the time this thread spent working stands
// for the cost on an idle machine, and the wall-clock time is reported beside it. Work split
// among threads (a frame drawn in bands) is counted by the time every thread of the process
// spent on it, which also counts whatever Qt's own threads did meanwhile.
struct FrameClock {
    double cpu = 0;     // seconds, this thread
    double process = 0; // seconds, every thread
    double wall = 0;    // seconds
    std::int64_t frames = 0;

    static double secondsOf(clockid_t clock)
    {
        timespec now{};
        clock_gettime(clock, &now);
        return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
    }

    // Times `work`, which does `count` frames (moves, redraws) of what is measured.
    template <typename Work> void time(std::int64_t count, Work work)
    {
        const double cpuStart = secondsOf(CLOCK_THREAD_CPUTIME_ID);
        const double processStart = secondsOf(CLOCK_PROCESS_CPUTIME_ID);
        const auto wallStart = std::chrono::steady_clock::now();
        work();
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        process += secondsOf(CLOCK_PROCESS_CPUTIME_ID) - processStart;
        cpu += secondsOf(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
        frames += count;
    }

    double cpuMs() const { return frames ? cpu / double(frames) * 1e3 : 0; }
    double processMs() const { return frames ? process / double(frames) * 1e3 : 0; }
    double wallMs() const { return frames ? wall / double(frames) * 1e3 : 0; }

    void report(benchmark::State &state) const
    {
        state.counters["frame_ms"] = cpuMs();
        state.counters["frame_wall_ms"] = wallMs();
    }
};
