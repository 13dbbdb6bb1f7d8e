#include "model/Tables.h"

#include "model/AcquisitionData.h"
#include "platform/NumberText.h"

#include <algorithm>

namespace platine {

namespace {

constexpr int kLogicTable = kAnalogChannelCount; // the tables of the analog channels come first

// Lines "k:value" for k = 0 .. last, as long as slot(k) is in use, each numbered first + k.
template <typename SlotOf> QString listSlots(int last, int size, qint64 first, SlotOf slot)
{
    QString text;
    const int end = std::min(last, size - 1);
    for (int k = 0; k <= end; ++k) {
        text += QString::number(first + k);
        text += u':';
        if (const AcquisitionData::Slot &value = slot(k))
            text += numberToText(*value);
        text += QLatin1String("\r\n");
    }
    return text;
}

} // namespace

QString initialTableButtonCaption()
{
    return QStringLiteral("Tableau analogique N° 1");
}

QString tableCaption(int t)
{
    if (t >= 0 && t < kLogicTable)
        return QString::fromUtf8(info(channelAt(t)).tableCaption);
    if (t == kLogicTable)
        return QStringLiteral("Tableau logique");
    return {};
}

QString tableText(const AcquisitionData &store, int t, int n, qint64 firstRow)
{
    const int rows = std::min(store.rows, AcquisitionData::kRows);
    if (t >= 0 && t < kLogicTable) {
        const AcquisitionData::Column &column = store[channelAt(t)];
        return listSlots(n, rows, firstRow,
                         [&](int k) -> const AcquisitionData::Slot & { return column[k]; });
    }
    if (t == kLogicTable) {
        return listSlots(
            4 * n, std::min(4 * rows, AcquisitionData::kLogicSlots), 4 * firstRow,
            [&](int k) -> const AcquisitionData::Slot & { return store.logicSlot(k); });
    }
    return {};
}

ShownTable TableCycle::showNext(const AcquisitionData &store, int n, qint64 firstRow)
{
    const int t = m_counter;
    ShownTable shown{tableText(store, t, n, firstRow), tableCaption(t)};
    m_counter = (t + 1) % kTableCount;
    return shown;
}

void clearTables(AcquisitionData &store, int n)
{
    const int rows = std::min(n, AcquisitionData::kRows - 1);
    for (Channel c : kAllChannels) {
        if (isLogic(c))
            continue;
        for (int k = 0; k <= rows; ++k)
            store.at(c, k) = 0.0;
    }
    const int lastSlot = std::min(4 * n, AcquisitionData::kLogicSlots - 1);
    for (int k = 0; k <= lastSlot; ++k)
        store.logicSlot(k) = 0.0;
}

} // namespace platine
