#pragma once
#include <cstdint>

namespace rek2::batch {

// A small generator whose sequence depends only on the seed (splitmix64), so
// the same seed gives the same demo registry on every platform and compiler;
// the standard library's distributions do not promise that.
class DemoRandom
{
public:
    explicit DemoRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 <= value < n (n > 0)
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    // lo <= value <= hi
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    // true with probability percent / 100
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint64_t state_;
};

} // namespace rek2::batch
