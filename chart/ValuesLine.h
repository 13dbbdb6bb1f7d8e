#pragma once
// The `valeurs` line under the chart: for the row under the mouse, its file row and each channel's
// value as the file holds it; for a pixel column that stands for many rows, the least and greatest
// value of each channel over them and the rows they span.
//
// Analog mode: the selected channels among the temperature and the analog inputs, in the store's
// order, and for each analog input also the value the read-out gives at its trace's height, in
// the read-out's unit ("ANA 1 512 (5,01 V)"). Logic mode: the four logic inputs, from the top
// band down. Numbers are written with QLocale()'s separators.

#include "chart/ChartInputs.h"
#include "model/AcquisitionReader.h"
#include "model/Figures.h"

#include <QString>

namespace platine {

// One row: "Acquisition 12 345 : TEMP 21,5 — ANA 1 512 (5,01 V) — ...".
QString valuesLine(const ChartInputs &in, qint64 row, const RowValues &values);
// Rows first .. end - 1: "Acquisitions 1 000 à 1 063 : TEMP 20,5 à 21,8 — ANA 1 500 à 512 (4,92
// à 5,01 V) — ...". One row reads as valuesLine() of that row.
QString valuesLine(const ChartInputs &in, qint64 first, qint64 end, const Figures &figures);

// The figures of rows first .. end - 1, one line a channel (the same channels as the values
// line), after a heading: "Acquisitions 1 000 à 2 000 (1 001 lignes)", then for instance
// "ANA 1 : min 56 (0,55 V) acq. 1 234 ; max 455 (4,45 V) acq. 1 500 ; moyenne 250,31 (2,45 V)",
// the row of the first occurrence of each extreme, the mean over every row rounded to 4 decimals.
QString statisticsText(const ChartInputs &in, qint64 first, qint64 end, const Figures &figures);

} // namespace platine
