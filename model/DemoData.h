#pragma once
// Demonstration data ("Aléatoire"): fills the shown rows of the store with random whole numbers so
// that the chart, the cursors and the tables can be tried without a file from the board.
//
// The random numbers come from one 24-bit linear congruential generator for the whole run (the
// program keeps one DemoGenerator),
//   x <- (x * 1140671485 + 12820163) mod 2^24, starting from x = 327680, r = x / 2^24,
// never reseeded: every run of the program, on every platform, draws the same sequence.

#include <cstdint>

namespace platine {

struct AcquisitionData;

class DemoGenerator
{
public:
    static constexpr std::uint32_t kStart = 327680;

    // The next number in [0, 1).
    double next();
    std::uint32_t state() const { return m_x; }

private:
    std::uint32_t m_x = kStart;
};

// Fills rows 0..n: for each row in turn its temperature (integer part of r * 50) and its four
// analog values (integer part of r * 512 each), in the store's order; then logic slots 0..4n, each 1 when the integer
// part of r * 10 is 5 or more, else 0. Other slots keep their values.
void fillDemoData(AcquisitionData &store, int n, DemoGenerator &generator);

} // namespace platine
