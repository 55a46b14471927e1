#pragma once

#include <atomic>

namespace tessik {

// What a search running on other threads shares with the thread that watches it: a request to
// stop, and how far it has come.
struct SearchControl {
    std::atomic<bool> cancelled{false};
    std::atomic<int> filesListed{-1}; // -1 while the folder is being listed
    std::atomic<int> filesRead{0};
};

} // namespace tessik
