#pragma once

#include <QDir>
#include <QtGlobal>

#include <benchmark/benchmark.h>

// Benchmarks run headless, with the fonts the diagram is measured with.
inline void useHeadlessQt()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_QPA_FONTDIR") &&
        QDir(QStringLiteral("/usr/share/fonts/truetype/liberation2")).exists())
        qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/liberation2");
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
