#include "model/DemoData.h"

#include "model/AcquisitionData.h"

#include <algorithm>
#include <cmath>

namespace platine {

double DemoGenerator::next()
{
    constexpr std::uint64_t kMultiplier = 1140671485u;
    constexpr std::uint64_t kIncrement = 12820163u;
    constexpr std::uint64_t kMask = (1u << 24) - 1;
    m_x = std::uint32_t((m_x * kMultiplier + kIncrement) & kMask);
    return double(m_x) / double(1u << 24);
}

void fillDemoData(AcquisitionData &store, int n, DemoGenerator &generator)
{
    const auto whole = [&](double scale) { return std::floor(generator.next() * scale); };
    const int rows = std::min(n, AcquisitionData::kRows - 1);
    for (int k = 0; k <= rows; ++k) {
        for (Channel c : kAllChannels) {
            if (!isLogic(c))
                store.at(c, k) = whole(c == Channel::Temperature ? 50 : 512);
        }
    }
    const int lastSlot = std::min(4 * n, AcquisitionData::kLogicSlots - 1);
    for (int k = 0; k <= lastSlot; ++k)
        store.logicSlot(k) = whole(10) >= 5 ? 1.0 : 0.0;
    store.rows = std::max(store.rows, rows + 1);
}

} // namespace platine
