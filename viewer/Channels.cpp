#include "viewer/Channels.h"

#include "chart/ReadOut.h"

namespace platine {

QColor labelColour(Channel c)
{
    return QColor::fromRgb(info(c).colour);
}

QString channelHelpText()
{
    return QStringLiteral("En analogique, cliquer pour permettre le tracé de cette voie");
}

QString presetHelpText(int i)
{
    return i >= 0 && i < kPresetCount ? QString::fromUtf8(kPresets[std::size_t(i)].help)
                                      : QString();
}

QString presetCaption(int i)
{
    return i >= 0 && i < kPresetCount ? QString::fromUtf8(kPresets[std::size_t(i)].caption)
                                      : QString();
}

std::optional<QString> coefficientHelpText(const QString &coefficient)
{
    if (coefficientValue(coefficient).value_or(0) != 0)
        return std::nullopt;
    return QStringLiteral("Le coefficient « %1 » n'est pas un nombre différent de 0 : les courbes "
                          "restent sur la ligne 0. Écrivez par exemple 0.492 ou 0,492.")
        .arg(coefficient);
}

void applyPreset(int i, ChannelControls &controls)
{
    if (i < 0 || i >= kPresetCount) {
        for (int k = 0; k < kGraduationCount; ++k)
            controls.graduations[std::size_t(k)] = QString::number(k + 1);
        return;
    }
    const CoefficientPreset &preset = kPresets[std::size_t(i)];
    controls.coeff = QString::fromLatin1(preset.coefficient);
    for (int k = 0; k < kGraduationCount; ++k)
        controls.graduations[std::size_t(k)] = QString::number((k + 1) * preset.graduationStep);
    if (preset.temperatureOnly) {
        for (Channel c : kAllChannels) {
            if (!isLogic(c))
                controls.selected.set(c, c == Channel::Temperature);
        }
    }
}

} // namespace platine
