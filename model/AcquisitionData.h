#pragma once
// The acquisition store: one for the whole run (the program keeps it), fixed capacity, independent
// of any window.
// Rows 0..2000 of temperature and the four analog inputs; logic slots 0..8000 (four per row,
// 4r .. 4r+3 in file order). Every slot is empty or a number; empty counts as 0.

#include <array>
#include <optional>

namespace platine {

struct AcquisitionData {
    static constexpr int kRows = 2001;
    static constexpr int kLogicSlots = 8001;

    using Slot = std::optional<double>;
    std::array<Slot, kRows> temperature{};
    std::array<Slot, kRows> analog1{}, analog2{}, analog3{}, analog4{};
    std::array<Slot, kLogicSlots> logic{};

    void clear()
    {
        temperature.fill(std::nullopt);
        analog1.fill(std::nullopt);
        analog2.fill(std::nullopt);
        analog3.fill(std::nullopt);
        analog4.fill(std::nullopt);
        logic.fill(std::nullopt);
    }

    // Value of a slot as a number (empty counts as 0); indexes outside the store give nullopt.
    template <std::size_t N>
    static std::optional<double> value(const std::array<Slot, N> &a, long long index)
    {
        if (index < 0 || index >= static_cast<long long>(N))
            return std::nullopt;
        return a[static_cast<std::size_t>(index)].value_or(0.0);
    }
};

} // namespace platine
