#pragma once
// The three coefficient presets of the viewer and what the rest of the program derives from them.
//
// The chart draws a raw value v at v x coefficient x 20 twips above its baseline and the Y-axis
// graduations stand 1000 twips apart. With "0-5v" one graduation is 1 V, with "0-10v" 2 V (both
// give the same volts per raw unit), with "Temp" one raw unit is 1 °C and a graduation 10 °C. The
// cursor read-out knows a preset by its coefficient's value and reads the height in graduation units
// times readOutFactor.

#include <array>
#include <cstddef>

namespace platine {

struct CoefficientPreset {
    const char *caption;     // the preset button's caption
    const char *coefficient; // the coefficient text it sets
    int graduationStep;      // graduation k (0..4) reads (k + 1) x step
    double readOutFactor;    // read-out value per graduation
    const char16_t *unit;    // read-out unit, after the value
    bool temperatureOnly;    // selects the temperature and unselects the analog inputs
    const char *help;        // help line while the mouse is over the button
};

inline constexpr int kPresetCount = 3;
inline constexpr int kGraduationCount = 5;

inline constexpr std::array<CoefficientPreset, kPresetCount> kPresets{{
    {"0-5v", "0.492", 1, 1.0, u" V", false,
     "Coeff pour une tension analogique comprise entre 0 et 5 V"},
    {"0-10v", "0.246", 2, 2.0, u" V", false,
     "Coeff pour une tension analogique comprise entre 0 et 10 V"},
    {"Temp", "5", 10, 10.0, u" °C", true, "Coeff pour la sonde de température"},
}};

// The coefficient the viewer starts with, and the one "Aléatoire" sets: that of "0-5v".
inline constexpr const char *kDefaultCoefficient = kPresets[0].coefficient;

} // namespace platine
