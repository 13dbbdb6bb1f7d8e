#pragma once
// The board's nine channels and everything the program says about each of them, in one table.
//
// A data line of an acquisition file carries one field a channel, in the order of Channel: the
// temperature, analog inputs 1 to 4, then the four logic inputs, the first of which is the one
// labelled "LOG 4" and the last "LOG 1". The store keeps one column a channel in the same order.
//
// The logic channels are drawn as four bands, from the top down in file order, so band b shows the
// channel at logic position b (LOG 4 at the top, LOG 1 at the bottom). The analog channels are
// drawn in file order too, a later one over an earlier one.

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace platine {

enum class Channel : std::uint8_t {
    Temperature,
    Analog1,
    Analog2,
    Analog3,
    Analog4,
    Logic4,
    Logic3,
    Logic2,
    Logic1,
};

inline constexpr int kChannelCount = 9;
inline constexpr int kAnalogChannelCount = 5; // the temperature and the four analog inputs
inline constexpr int kLogicChannelCount = 4;

// Position in a data line and index of the store's column.
constexpr int column(Channel c)
{
    return static_cast<int>(c);
}
constexpr bool isLogic(Channel c)
{
    return column(c) >= kAnalogChannelCount;
}
// Logic position 0..3 (the band, from the top) of a logic channel.
constexpr int logicPosition(Channel c)
{
    return column(c) - kAnalogChannelCount;
}
constexpr Channel channelAt(int column)
{
    return static_cast<Channel>(column);
}
constexpr Channel logicChannelAt(int position)
{
    return channelAt(kAnalogChannelCount + position);
}

struct ChannelInfo {
    const char *label; // caption of the channel's label on the chart
    int labelIndex;    // which of the nine labels it is (their design order: ANA 1 .. LOG 4, TEMP)
    quint32 colour;    // of the trace and of the label's text (0xAARRGGBB, as QRgb)
    const char *tableCaption; // caption of the channel's value table (analog channels)
};

// In store order. Each label is written in its trace's colour, so that a label says which trace is
// its channel's.
inline constexpr std::array<ChannelInfo, kChannelCount> kChannels{{
    {"TEMP", 8, 0xFF808080, "Tableau température"},
    {"ANA 1", 0, 0xFF000000, "Tableau analogique N°1"},
    {"ANA 2", 1, 0xFFFF0000, "Tableau analogique N°2"},
    {"ANA 3", 2, 0xFF00FF00, "Tableau analogique N°3"},
    {"ANA 4", 3, 0xFFFFFF00, "Tableau analogique N°4"},
    {"LOG 4", 7, 0xFF808000, nullptr},
    {"LOG 3", 6, 0xFFFFFFFF, nullptr},
    {"LOG 2", 5, 0xFF0000FF, nullptr},
    {"LOG 1", 4, 0xFFFF00FF, nullptr},
}};

constexpr const ChannelInfo &info(Channel c)
{
    return kChannels[static_cast<std::size_t>(column(c))];
}

// The channel whose label has index i (0..8), or nothing.
constexpr std::optional<Channel> channelOfLabel(int i)
{
    for (int k = 0; k < kChannelCount; ++k) {
        if (kChannels[static_cast<std::size_t>(k)].labelIndex == i)
            return channelAt(k);
    }
    return std::nullopt;
}

// The nine channels in file order, for range-for.
inline constexpr std::array<Channel, kChannelCount> kAllChannels{
    Channel::Temperature, Channel::Analog1, Channel::Analog2, Channel::Analog3, Channel::Analog4,
    Channel::Logic4,      Channel::Logic3,  Channel::Logic2,  Channel::Logic1};

// A flag for each channel, indexed by Channel.
class ChannelFlags
{
public:
    constexpr ChannelFlags() = default;
    constexpr explicit ChannelFlags(bool all) { m_flags.fill(all); }
    constexpr bool operator[](Channel c) const { return m_flags[std::size_t(column(c))]; }
    constexpr void set(Channel c, bool on) { m_flags[std::size_t(column(c))] = on; }
    friend constexpr bool operator==(const ChannelFlags &, const ChannelFlags &) = default;

private:
    std::array<bool, kChannelCount> m_flags{};
};

} // namespace platine
