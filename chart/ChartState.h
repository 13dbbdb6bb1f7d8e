#pragma once
// The chart's shared state: one instance for the whole run, kept when the viewer window is hidden or
// closed. The full view, the zoom views and the chart's mouse and key handlers read and write it.
//
// Every field starts "empty" and an empty field counts as 0 everywhere it is used: compared, added
// to, used as a start row. The fields are therefore plain numbers starting at 0. The only place an
// empty start row and a start row 0 could be told apart is the caption of the hidden logic-zoom
// label, which nobody sees, so no separate "empty" state is kept.

#include <cstdint>

namespace platine {

struct ChartState {
    // N as taken by the last full view or the last mouse move over the chart (HScroll1 is 10..1000).
    std::int16_t nbre_acq = 0;
    // The row under the mouse in the full view; the first row of the zoom view. May be negative
    // (mouse left of the Y axis) or beyond the store (zoom views then draw nothing for those rows).
    long long acq_curseur = 0;
    // 1 while the read-out refers to a zoom view.
    int zoom_lecture = 0;
    // 1 while a zoom view opened by a click (or a key press in analog mode) is on screen.
    int zoom_vue = 0;

    friend bool operator==(const ChartState &, const ChartState &) = default;

    // The program-wide state.
    static ChartState &instance()
    {
        static ChartState state;
        return state;
    }
};

} // namespace platine
