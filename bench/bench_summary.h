#pragma once

#include <cstdio>
#include <string>

// One line of the table `make bench` prints: what was measured, our figure, the figure it is
// held against, their ratio and the target for that ratio.
inline void printSummary(const std::string &measurement, double ours, double baseline, const std::string &unit,
                         double target)
{
    const double ratio = baseline > 0 ? ours / baseline : 0;
    char target_text[32] = "-";
    if (target > 0)
        std::snprintf(target_text, sizeof target_text, "<= %.2f", target);
    std::printf("SUMMARY\t%s\t%.2f %s\t%.2f %s\t%.3f\t%s\n", measurement.c_str(), ours, unit.c_str(), baseline,
                unit.c_str(), ratio, target_text);
    std::fflush(stdout);
}
