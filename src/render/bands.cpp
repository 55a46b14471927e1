#include "render/bands.h"

#include <thread>
#include <vector>

namespace tessik {

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
