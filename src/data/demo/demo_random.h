#pragma once
// The sample generator's own random numbers: SplitMix64 with integer-only
// derived draws, so one seed gives the same sequence with every compiler and
// standard library (the std distributions do not promise that).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillon::demo {

class DemoRandom {
public:
    explicit DemoRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // Uniform in [0, n); n > 0. Multiply-shift on the high 32 bits.
    int below(int n) { return int(((next() >> 32) * std::uint64_t(n)) >> 32); }
    // Uniform in [lo, hi], both inclusive.
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    // True with a chance of `percent` in 100.
    bool percent(int percent) { return below(100) < percent; }
    // True with a chance of `perMille` in 1000.
    bool perMille(int perMille) { return below(1000) < perMille; }

    template <typename T, std::size_t N>
    const T& pick(const T (&items)[N]) { return items[below(int(N))]; }
    template <typename T>
    const T& pickFrom(const std::vector<T>& items) { return items[size_t(below(int(items.size())))]; }

    // An independent generator for one part of the data, so that adding draws
    // in one part does not shift every later part.
    DemoRandom fork(std::uint64_t salt) { return DemoRandom(next() ^ (salt * 0xD1B54A32D192ED03ULL)); }

private:
    std::uint64_t m_state;
};

}  // namespace quillon::demo
