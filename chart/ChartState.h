#pragma once
// The chart's shared state: one for the whole run (the program keeps it), kept when the viewer
// window is hidden or closed. The full view, the zoom views and the chart's mouse and key handlers
// read and write it.
//
// Every field starts "empty" and an empty field counts as 0 (or no) everywhere it is used:
// compared, added to, used as a start row. The fields are therefore plain values starting at 0.
// The only place an empty start row and a start row 0 could be told apart is the caption of the
// hidden logic-zoom label, which nobody sees, so no separate "empty" state is kept.

#include <cstdint>

namespace platine {

// Rows further out than this, either side of row 0, cannot reach the store from any view: the
// cursor row is kept within them, and a drawing started beyond them draws nothing. This keeps the
// row arithmetic far from overflow.
inline constexpr long long kFarRow = 1'000'000'000'000'000LL;
constexpr bool isFarRow(long long row)
{
    return row > kFarRow || row < -kFarRow;
}

struct ChartState {
    // N as taken by the last full view or the last mouse move over the chart (10..1000).
    std::int16_t rowCount = 0;
    // The row under the mouse in the full view; the first row of the zoom view. May be negative
    // (mouse left of the Y axis) or beyond the store (zoom views then draw nothing for those rows).
    long long cursorRow = 0;
    // Whether the read-out refers to a zoom view.
    bool zoomReadout = false;
    // Whether a zoom view opened by a click (or a key press in analog mode) is on screen: the next
    // left click returns to the full view.
    bool zoomShown = false;
    // Whether a span longer than the full view is on screen, drawn in pixel columns (the wheel
    // zoomed out past it): the file's rows spanFirst .. spanFirst + spanRows across the chart.
    bool spanShown = false;
    long long spanFirst = 0;
    long long spanRows = 0;

    friend bool operator==(const ChartState &, const ChartState &) = default;
};

} // namespace platine
