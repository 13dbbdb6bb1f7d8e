#include "viewer/Channels.h"

#include <QPalette>

namespace platine {

QString channelCaption(int i)
{
    static const std::array<const char *, kChannelCount> captions{
        "ANA 1", "ANA 2", "ANA 3", "ANA 4", "LOG 1", "LOG 2", "LOG 3", "LOG 4", "TEMP"};
    return i >= 0 && i < kChannelCount ? QString::fromLatin1(captions[std::size_t(i)]) : QString();
}

QColor channelColor(int i, const QPalette &palette)
{
    static const std::array<quint32, kChannelCount> colours{
        0,          0x000000FF, 0x0000FF00, 0x0000FFFF, 0x00FF00FF,
        0x00FF0000, 0x00FFFFFF, 0x000080FF, 0x00404040};
    if (i == 0)
        return palette.color(QPalette::Active, QPalette::ButtonText);
    if (i < 0 || i >= kChannelCount)
        return {};
    return bgrColor(colours[std::size_t(i)]);
}

QString channelHelpText()
{
    return QStringLiteral("En analogique, cliquer pour permettre le tracé de cette voie");
}

QString presetHelpText(int i)
{
    switch (i) {
    case 0: return QStringLiteral("Coeff pour une tension analogique comprise entre 0 et 5 V");
    case 1: return QStringLiteral("Coeff pour une tension analogique comprise entre 0 et 10 V");
    case 2: return QStringLiteral("Coeff pour la sonde de température");
    default: return {};
    }
}

QString presetCaption(int i)
{
    switch (i) {
    case 0: return QStringLiteral("0-5v");
    case 1: return QStringLiteral("0-10v");
    case 2: return QStringLiteral("Temp");
    default: return {};
    }
}

void applyPreset(int i, ChannelControls &controls)
{
    for (int k = 0; k < kGraduationCount; ++k)
        controls.graduations[std::size_t(k)] = QString::number(k + 1);
    switch (i) {
    case 0:
        controls.coeff = QStringLiteral("0.492");
        break;
    case 1:
        controls.coeff = QStringLiteral("0.246");
        for (int k = 0; k < kGraduationCount; ++k)
            controls.graduations[std::size_t(k)] = QString::number(2 * (k + 1));
        break;
    case 2:
        controls.coeff = QStringLiteral("5");
        for (auto &caption : controls.graduations)
            caption += u'0';
        for (int k = 0; k < 4; ++k)
            controls.selected[std::size_t(k)] = false;
        controls.selected[kTemperatureLabel] = true;
        break;
    default:
        break;
    }
}

} // namespace platine
