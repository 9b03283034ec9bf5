#pragma once
// The wording of what Import says about a file (curve_file.h's LayoutReport) and the pieces of it
// that TakePoints shares: how a column is named, which values are converted or turned.
//
//   ColumnText(layout, 3) == "column 3 \"Vf\""

#include <string>

#include "io/curve_file.h"

namespace kivex::io {

// "column 3", with the column's name where the file gives one.
std::string ColumnText(const CurveFileLayout& layout, int column);

// The column's description, or none for a file without headings (the pair format).
const ColumnInfo* ColumnOf(const CurveFileLayout& layout, int column);

// Whether the value column is turned to reduction positive: a current, a charge or a value of
// no known quantity, of a file that writes oxidation current positive as `sign` or the layout
// says.
bool TurnsSign(const CurveFileLayout& layout, ColumnChoice choice, CurrentSign sign);

// The first time column that is not text, counted from 1; 0 when none.
int TimeColumn(const CurveFileLayout& layout);

}  // namespace kivex::io
