#pragma once
// Channel selection and coefficients of the viewer: the selection flags the nine channel labels
// show, the label colours, the three coefficient presets with their graduation captions, and the
// help texts of the help line. The channels and presets themselves are the model's
// (model/Channel.h, model/Coefficients.h).

#include "model/Channel.h"
#include "model/Coefficients.h"

#include <QColor>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

namespace platine {

// A colour written &H00BBGGRR (blue in the high byte, red in the low byte), as the window's
// design gives its colours.
constexpr QRgb bgrToRgb(quint32 bgr)
{
    return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
inline QColor bgrColor(quint32 bgr)
{
    return QColor::fromRgb(bgrToRgb(bgr));
}

// Text colour of a channel's label: its trace's colour.
QColor labelColour(Channel c);

// Help line texts.
QString channelHelpText();     // mouse over a channel label
QString presetHelpText(int i); // mouse over preset button i
QString presetCaption(int i);  // "0-5v", "0-10v", "Temp"
// After an analog full view drawn with a coefficient that draws nothing (not a number, or 0):
// what to write instead.
std::optional<QString> coefficientHelpText(const QString &coefficient);

// The state of the controls a preset changes.
struct ChannelControls {
    QString coeff = QString::fromLatin1(kDefaultCoefficient);
    std::array<QString, kGraduationCount> graduations{QStringLiteral("1"), QStringLiteral("2"),
                                                      QStringLiteral("3"), QStringLiteral("4"),
                                                      QStringLiteral("5")};
    ChannelFlags selected{true};
};

// Preset button i clicked: its coefficient, graduation k reading (k + 1) x the preset's step; the
// temperature preset also selects the temperature and unselects the four analog inputs.
void applyPreset(int i, ChannelControls &controls);

// A channel label pressed with the flag `selected`: the new flag. An unselected label becomes
// selected; a selected analog or temperature label becomes unselected; a logic label stays.
constexpr bool toggledSelection(Channel c, bool selected)
{
    return !selected || isLogic(c);
}

} // namespace platine
