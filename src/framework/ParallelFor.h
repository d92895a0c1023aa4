#pragma once
// Runs work(i) for every i below `count`, split between this thread and one
// more, each taking a contiguous half. For the list fill's per-entry
// registry and file queries: under Wine each is a round trip to the server,
// whose latency a second thread overlaps. Small counts run here alone, as
// a thread costs more than it saves. work must be safe to call from two
// threads at once on different i.

#include <cstddef>
#include <thread>

namespace fw {

template <typename Work>
void ParallelFor(std::size_t count, const Work& work, std::size_t minimumToSplit = 64) {
    const std::size_t half = count / 2;
    std::thread other;
    if (count >= minimumToSplit) {
        try {
            other = std::thread([&work, half, count] {
                for (std::size_t i = half; i < count; ++i) work(i);
            });
        } catch (...) {
            // No second thread to be had: do it all here.
        }
    }
    const std::size_t mine = other.joinable() ? half : count;
    for (std::size_t i = 0; i < mine; ++i) work(i);
    if (other.joinable()) other.join();
}

}  // namespace fw
