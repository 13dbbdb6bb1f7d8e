#pragma once
// The value tables of the viewer: the table button lists one array of the store at a time as
// text, a different one at each click, and "RAZ tableaux" sets the shown rows to zero.
//
// The table cycle (TableCycle) is kept for the whole run: it starts at table 0 and survives hiding
// and closing the viewer window. Its counter t selects the table the next click shows: 0..4 the
// columns of the temperature and the analog inputs in the store's order (rows 0..N), 5 the logic
// slots (0..4N).
// A table has one line per slot: index, ":", value (empty slot: nothing), CR LF. The rows past
// those in use are not listed; the index is the file's: row r of a store whose first row is the
// file's row W is W + r (its logic slots 4(W + r) + b).

#include <QString>
#include <QtGlobal>

namespace platine {

struct AcquisitionData;

inline constexpr int kTableCount = 6;

// Caption the table button has before its first click.
QString initialTableButtonCaption(); // "Tableau analogique N° 1"

// Caption naming table t (0..5), e.g. "Tableau température".
QString tableCaption(int t);

// The text of table t for rows 0..n of a store whose first row is the file's row firstRow.
QString tableText(const AcquisitionData &store, int t, int n, qint64 firstRow = 0);

struct ShownTable {
    QString text;
    QString caption;
};

// The table button's cycle through the six tables.
class TableCycle
{
public:
    // The table the next click shows (0..5).
    int counter() const { return m_counter; }

    // One click of the table button: the table selected by the counter, then the counter advances
    // (5 wraps to 0).
    ShownTable showNext(const AcquisitionData &store, int n, qint64 firstRow = 0);

private:
    int m_counter = 0;
};

// "RAZ tableaux": rows 0..n of the five row arrays and logic slots 0..4n become 0. Rows beyond
// keep their values.
void clearTables(AcquisitionData &store, int n);

} // namespace platine
