#pragma once

#include <QtGlobal>

#include <benchmark/benchmark.h>

// Benchmarks run headless unless a platform is chosen. The fonts are fontconfig's, as the
// program's are.
inline void useHeadlessQt()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Runs the registered benchmarks; false when the command line held something unknown.
inline bool runBenchmarks(int &argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return false;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return true;
}
