#include "render/bands.h"

#include <QtGlobal>

#include <algorithm>
#include <thread>
#include <vector>

namespace tessik {

int bandCount(int width, int rows, int threads)
{
    constexpr qsizetype kSmallestSplitPicture = 1 << 19;
    if (qsizetype(width) * rows < kSmallestSplitPicture)
        return 1;
    return std::clamp(threads, 1, rows);
}

void inBands(int rows, int bands, const std::function<void(int firstRow, int endRow)> &work)
{
    auto bandStart = [&](int band) { return int(qint64(rows) * band / bands); };
    std::vector<std::thread> others;
    for (int band = 1; band < bands; ++band)
        others.emplace_back([&, band] { work(bandStart(band), bandStart(band + 1)); });
    work(bandStart(0), bandStart(1));
    for (std::thread &other : others)
        other.join();
}

} // namespace tessik
