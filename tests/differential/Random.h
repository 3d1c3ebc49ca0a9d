// A small seeded random source (SplitMix64) whose sequence is the same on every compiler and
// platform, so that a seed names the same generated input on Linux and under Wine.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace differential {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. bound - 1 (0 when bound is 0).
  std::size_t Below(std::size_t bound) {
    return bound == 0 ? 0 : static_cast<std::size_t>(Next() % bound);
  }
  // low .. high, both included.
  std::size_t Between(std::size_t low, std::size_t high) { return low + Below(high - low + 1); }
  bool Percent(unsigned percent) { return Below(100) < percent; }

  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }
  std::string Pick(std::initializer_list<const char*> items) {
    return *(items.begin() + Below(items.size()));
  }

 private:
  std::uint64_t state_;
};

}  // namespace differential
