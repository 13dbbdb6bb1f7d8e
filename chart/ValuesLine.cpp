#include "chart/ValuesLine.h"

#include "chart/ChartRenderer.h"
#include "chart/ReadOut.h"
#include "platform/NumberText.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace platine {

namespace {

// The channels the line tells of, in its order.
std::vector<Channel> toldChannels(const ChartInputs &in)
{
    std::vector<Channel> out;
    if (in.analog) {
        for (int k = 0; k < kAnalogChannelCount; ++k) {
            if (in.selected[channelAt(k)])
                out.push_back(channelAt(k));
        }
    } else {
        for (int b = 0; b < kLogicChannelCount; ++b)
            out.push_back(logicChannelAt(b));
    }
    return out;
}

// The read-out at the trace's height of a raw value of an analog input, without its unit; nothing
// for the temperature, a logic input, or a coefficient the read-out cannot take.
std::optional<QString> atTrace(const ChartInputs &in, Channel c, double raw)
{
    const ReadOutScale scale = readOutScale(in.coefficient);
    if (c == Channel::Temperature || isLogic(c) || !scale.k)
        return std::nullopt;
    const double y = chart::kBaselineY
        - raw * coefficientValue(in.coefficient).value_or(0) * chart::kVerticalFactor;
    // As the read-out writes it, to the hundredth, but without a separator left alone ("0," is 0).
    QString text = formatReadOut(readOutValue(y, *scale.k));
    if (const QString separator = QLocale().decimalPoint(); text.endsWith(separator))
        text.chop(separator.size());
    return text;
}

QString rowNumber(qint64 row)
{
    return QLocale().toString(row);
}

} // namespace

QString valuesLine(const ChartInputs &in, qint64 row, const RowValues &values)
{
    const QString unit = readOutScale(in.coefficient).unit.toString();
    QStringList parts;
    for (Channel c : toldChannels(in)) {
        const double v = values[std::size_t(column(c))];
        QString part = QLatin1String(info(c).label) + u' ' + numberToText(v);
        if (const std::optional<QString> read = atTrace(in, c, v))
            part += u" (" + *read + unit + u')';
        parts << part;
    }
    return QStringLiteral("Acquisition %1 : %2").arg(rowNumber(row), parts.join(u" — "));
}

QString valuesLine(const ChartInputs &in, qint64 first, qint64 end, const Figures &figures)
{
    if (end - first == 1)
        return valuesLine(in, first, figures.min);
    const QString unit = readOutScale(in.coefficient).unit.toString();
    QStringList parts;
    for (Channel c : toldChannels(in)) {
        const std::size_t k = std::size_t(column(c));
        QString part = QLatin1String(info(c).label) + u' ' + numberToText(figures.min[k]) + u" à "
            + numberToText(figures.max[k]);
        const std::optional<QString> low = atTrace(in, c, figures.min[k]);
        const std::optional<QString> high = atTrace(in, c, figures.max[k]);
        if (low && high)
            part += u" (" + *low + u" à " + *high + unit + u')';
        parts << part;
    }
    return QStringLiteral("Acquisitions %1 à %2 : %3")
        .arg(rowNumber(first), rowNumber(end - 1), parts.join(u" — "));
}

QString statisticsText(const ChartInputs &in, qint64 first, qint64 end, const Figures &figures)
{
    if (figures.empty())
        return {};
    const QString unit = readOutScale(in.coefficient).unit.toString();
    const auto value = [&](Channel c, double v) {
        QString text = numberToText(v);
        if (const std::optional<QString> read = atTrace(in, c, v))
            text += u" (" + *read + unit + u')';
        return text;
    };
    QStringList lines;
    lines << QStringLiteral("Acquisitions %1 à %2 (%3 lignes)")
                 .arg(rowNumber(first), rowNumber(end - 1), rowNumber(figures.rows));
    for (Channel c : toldChannels(in)) {
        const std::size_t k = std::size_t(column(c));
        const double mean = std::round(figures.mean(c) * 1e4) / 1e4;
        lines << QStringLiteral("%1 : min %2 acq. %3 ; max %4 acq. %5 ; moyenne %6")
                     .arg(QLatin1String(info(c).label), value(c, figures.min[k]),
                          rowNumber(figures.minRow[k]), value(c, figures.max[k]),
                          rowNumber(figures.maxRow[k]), value(c, mean));
    }
    return lines.join(u'\n');
}

} // namespace platine
