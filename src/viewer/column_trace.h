#pragma once

#include <cmath>
#include <span>

#include "viewer/plot_series.h"

namespace ampelon {

// Plot x to pixel columns: x = `low` is the left edge of column 0. Columns left of the plot come
// out as -1 and right of it as `columns`, so that far-off points cannot overflow.
struct ColumnMapping {
  double low = 0;
  double pixelsPerUnit = 1;
  int columns = 0;

  int Column(double x) const {
    const double at = std::floor((x - low) * pixelsPerUnit);
    if (!(at >= 0)) return -1;
    return at >= columns ? columns : static_cast<int>(at);
  }
  double LeftEdge(int column) const { return low + column / pixelsPerUnit; }
};

// Volts to pixel rows: `high` is the top edge of row 0; rows above come out as -1, below as `rows`.
struct RowMapping {
  double high = 1;
  double pixelsPerVolt = 1;
  int rows = 0;

  int Row(double volts) const {
    const double at = std::floor((high - volts) * pixelsPerVolt);
    if (!(at >= 0)) return -1;
    return at >= rows ? rows : static_cast<int>(at);
  }
};

// The rows a column of the curve covers, top to bottom inclusive; empty when top > bottom.
struct ColumnSpan {
  int top = 1;
  int bottom = 0;
};

// The curve through a series' points, joined by straight lines, as the rows it covers in each
// pixel column: in a column, every row between the lowest and highest volts the line takes over
// the column's width. `spans` has one entry per column.
//
// TraceColumns takes each column's extremes from the series' min/max pyramid, a few steps per
// column however many points fall into it; TraceEveryPoint walks every point and every line
// between two. Both give the same spans, bit for bit.
void TraceColumns(const PlotSeries& series, const ColumnMapping& columns, const RowMapping& rows,
                  std::span<ColumnSpan> spans);
void TraceEveryPoint(const PlotSeries& series, const ColumnMapping& columns, const RowMapping& rows,
                     std::span<ColumnSpan> spans);

// The first point whose column is at or right of `column`, searching from `from` on; `guess`, when
// not 0, is how many points after `from` it probably lies (the width of the column before), so
// that a steady series is searched in a few neighbouring reads.
std::size_t FirstPointInOrAfter(const PlotSeries& series, const ColumnMapping& columns, int column,
                                std::size_t from = 0, std::size_t guess = 0);

}  // namespace ampelon
