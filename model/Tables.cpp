#include "model/Tables.h"

#include "model/AcquisitionData.h"
#include "platform/NumberText.h"

#include <algorithm>

namespace platine {

namespace {

template <std::size_t N>
QString listSlots(const std::array<AcquisitionData::Slot, N> &array, int last)
{
    QString text;
    const int end = std::min(last, int(N) - 1);
    for (int k = 0; k <= end; ++k) {
        text += QString::number(k);
        text += u':';
        if (const auto &slot = array[std::size_t(k)])
            text += numberToText(*slot);
        text += QLatin1String("\r\n");
    }
    return text;
}

} // namespace

QString tableButtonDesignerCaption()
{
    return QStringLiteral("Tableau analogique N° 1");
}

QString tableCaption(int t)
{
    switch (t) {
    case 0: return QStringLiteral("Tableau température");
    case 1: return QStringLiteral("Tableau analogique N°1");
    case 2: return QStringLiteral("Tableau analogique N°2");
    case 3: return QStringLiteral("Tableau analogique N°3");
    case 4: return QStringLiteral("Tableau analogique N°4");
    case 5: return QStringLiteral("Tableau logique");
    default: return {};
    }
}

QString tableText(const AcquisitionData &store, int t, int n)
{
    switch (t) {
    case 0: return listSlots(store.temperature, n);
    case 1: return listSlots(store.analog1, n);
    case 2: return listSlots(store.analog2, n);
    case 3: return listSlots(store.analog3, n);
    case 4: return listSlots(store.analog4, n);
    case 5: return listSlots(store.logic, 4 * n);
    default: return {};
    }
}

void TableCycle::setCounter(int t)
{
    m_counter = std::clamp(t, 0, 5);
}

ShownTable TableCycle::showNext(const AcquisitionData &store, int n)
{
    const int t = m_counter;
    ShownTable shown{tableText(store, t, n), tableCaption(t)};
    m_counter = t + 1 == 6 ? 0 : t + 1;
    return shown;
}

void clearTables(AcquisitionData &store, int n)
{
    const int rows = std::min(n, AcquisitionData::kRows - 1);
    for (int k = 0; k <= rows; ++k) {
        store.temperature[std::size_t(k)] = 0.0;
        store.analog1[std::size_t(k)] = 0.0;
        store.analog2[std::size_t(k)] = 0.0;
        store.analog3[std::size_t(k)] = 0.0;
        store.analog4[std::size_t(k)] = 0.0;
    }
    const int lastSlot = std::min(4 * n, AcquisitionData::kLogicSlots - 1);
    for (int k = 0; k <= lastSlot; ++k)
        store.logic[std::size_t(k)] = 0.0;
}

} // namespace platine
