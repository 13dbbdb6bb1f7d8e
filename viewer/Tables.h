#pragma once
// The value tables of the viewer: the table button lists one array of the store at a time as
// text, a different one at each click, and "RAZ tableaux" sets the shown rows to zero.
//
// The table counter t (0..5) is kept for the whole run: it starts at 0 and survives hiding and
// closing the viewer window. t selects the table the next click shows:
//   0 temperature, 1..4 ana1..ana4 (slots 0..N), 5 logique (slots 0..4N).
// A table has one line per slot: index, ":", value (empty slot: nothing), CR LF.

#include <QString>

namespace platine {

struct AcquisitionData;

// Caption the table button has before its first click.
QString tableButtonDesignerCaption(); // "Tableau analogique N° 1"

// Caption naming table t (0..5), e.g. "Tableau température".
QString tableCaption(int t);

// The text of table t for rows 0..n.
QString tableText(const AcquisitionData &store, int t, int n);

// The program-wide table counter.
int tableCounter();
void setTableCounter(int t); // kept in 0..5 (tests)

struct ShownTable {
    QString text;
    QString caption;
};

// One click of the table button: the table selected by the counter, then the counter advances
// (5 wraps to 0).
ShownTable nextTable(const AcquisitionData &store, int n);

// "RAZ tableaux": rows 0..n of the five row arrays and logic slots 0..4n become 0. Rows beyond
// keep their values.
void clearTables(AcquisitionData &store, int n);

} // namespace platine
