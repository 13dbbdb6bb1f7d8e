#pragma once
// Channel selection and coefficients of the viewer: the nine channel labels Label56(0..8) with
// their selection flags and colours, the three coefficient presets Command2(0..2) with their
// graduation captions, and the help texts of the help line.

#include <QColor>
#include <QString>
#include <QtGlobal>

#include <array>

class QPalette;

namespace platine {

inline constexpr int kChannelCount = 9;      // Label56(0..8)
inline constexpr int kTemperatureLabel = 8;  // Label56(8) "TEMP"
inline constexpr int kGraduationCount = 5;   // Label58(0..4)
inline constexpr int kPresetCount = 3;       // Command2(0..2)

// A colour written &H00BBGGRR (blue in the high byte, red in the low byte).
constexpr QRgb bgrToRgb(quint32 bgr)
{
    return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
inline QColor bgrColor(quint32 bgr)
{
    return QColor::fromRgb(bgrToRgb(bgr));
}

// Designer caption of Label56(i): "ANA 1" .. "ANA 4", "LOG 1" .. "LOG 4", "TEMP".
QString channelCaption(int i);
// Text colour of Label56(i); Label56(0) uses the system's button-text colour from the palette.
QColor channelColor(int i, const QPalette &palette);
// Logic labels (4..7) are never unselected once selected.
constexpr bool isLogicChannel(int i) { return i >= 4 && i <= 7; }

// Help line texts.
QString channelHelpText(); // mouse over a channel label
QString presetHelpText(int i); // mouse over Command2(i)
QString presetCaption(int i);  // "0-5v", "0-10v", "Temp"

// The state of the controls a preset changes.
struct ChannelControls {
    QString coeff = QStringLiteral("0.492");
    std::array<QString, kGraduationCount> graduations{
        QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
        QStringLiteral("5")};
    std::array<bool, kChannelCount> selected{true, true, true, true, true,
                                             true, true, true, true};
};

// Command2(i) click: graduations back to "1".."5", then
//   0: coeff "0.492";  1: coeff "0.246", graduations "2","4",..,"10";
//   2: coeff "5", "0" appended to each graduation, ANA 1..4 unselected, TEMP selected.
void applyPreset(int i, ChannelControls &controls);

// Label56(i) pressed with the flag `selected`: the new flag. An unselected label becomes
// selected; a selected analog or temperature label becomes unselected; a logic label stays.
constexpr bool toggledSelection(int i, bool selected)
{
    if (!selected)
        return true;
    return isLogicChannel(i);
}

} // namespace platine
