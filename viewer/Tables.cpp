#include "viewer/Tables.h"

#include "platform/NumberText.h"
#include "viewer/AcquisitionData.h"

#include <algorithm>

namespace platine {

namespace {

int g_tableCounter = 0;

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
    case 1: return listSlots(store.ana1, n);
    case 2: return listSlots(store.ana2, n);
    case 3: return listSlots(store.ana3, n);
    case 4: return listSlots(store.ana4, n);
    case 5: return listSlots(store.logique, 4 * n);
    default: return {};
    }
}

int tableCounter()
{
    return g_tableCounter;
}

void setTableCounter(int t)
{
    g_tableCounter = std::clamp(t, 0, 5);
}

ShownTable nextTable(const AcquisitionData &store, int n)
{
    const int t = g_tableCounter;
    ShownTable shown{tableText(store, t, n), tableCaption(t)};
    g_tableCounter = t + 1 == 6 ? 0 : t + 1;
    return shown;
}

void clearTables(AcquisitionData &store, int n)
{
    const int rows = std::min(n, AcquisitionData::kRows - 1);
    for (int k = 0; k <= rows; ++k) {
        store.temperature[std::size_t(k)] = 0.0;
        store.ana1[std::size_t(k)] = 0.0;
        store.ana2[std::size_t(k)] = 0.0;
        store.ana3[std::size_t(k)] = 0.0;
        store.ana4[std::size_t(k)] = 0.0;
    }
    const int lastSlot = std::min(4 * n, AcquisitionData::kLogicSlots - 1);
    for (int k = 0; k <= lastSlot; ++k)
        store.logique[std::size_t(k)] = 0.0;
}

} // namespace platine
