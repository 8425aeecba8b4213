#include "viewer/column_trace.h"

#include <algorithm>
#include <limits>

#include "common/volts.h"

namespace ampelon {
namespace {

// The volts a column collects: its points' and where the line crosses its edges.
struct Extremes {
  double lowest = std::numeric_limits<double>::infinity();
  double highest = -std::numeric_limits<double>::infinity();

  void Add(double volts) {
    lowest = std::min(lowest, volts);
    highest = std::max(highest, volts);
  }
};

double VoltsOf(const PlotSeries& series, std::size_t point) { return Volts(series.Count(point)); }

// Volts of the line from point `before` to the next one at x; both sides compute it alike.
double LineAt(const PlotSeries& series, std::size_t before, double x) {
  const double x0 = series.X(before);
  const double x1 = series.X(before + 1);
  const double v0 = VoltsOf(series, before);
  const double v1 = VoltsOf(series, before + 1);
  const double t = std::clamp((x - x0) / (x1 - x0), 0.0, 1.0);
  return v0 + (v1 - v0) * t;
}

ColumnSpan SpanOf(const Extremes& extremes, const RowMapping& rows) {
  if (!(extremes.lowest <= extremes.highest)) return {};
  return {std::max(rows.Row(extremes.highest), 0),
          std::min(rows.Row(extremes.lowest), rows.rows - 1)};
}

}  // namespace

std::size_t FirstPointInOrAfter(const PlotSeries& series, const ColumnMapping& columns, int column,
                                std::size_t from, std::size_t guess) {
  const std::size_t size = series.Size();
  const auto before = [&](std::size_t point) { return columns.Column(series.X(point)) < column; };
  if (guess > 0) {
    // The answer is the point that is not before the column while the one ahead of it is.
    std::size_t at = std::min(from + guess, size);
    for (int tries = 0; tries < 8; ++tries) {
      if (at > from && !before(at - 1)) {
        --at;
      } else if (at < size && before(at)) {
        ++at;
      } else {
        return at;
      }
    }
  }
  // Gallop from `from`, then halve: columns are met left to right, so each search is short.
  std::size_t low = from;
  std::size_t step = 1;
  std::size_t high = from;
  while (high < size && columns.Column(series.X(high)) < column) {
    low = high + 1;
    high = std::min(size, high + step);
    step *= 2;
  }
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (columns.Column(series.X(middle)) < column) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

void TraceColumns(const PlotSeries& series, const ColumnMapping& columns, const RowMapping& rows,
                  std::span<ColumnSpan> spans) {
  const std::size_t size = series.Size();
  const std::span<const std::int16_t> counts = series.Counts();
  const std::span<const float> volts = VoltsOfEveryReading();
  std::size_t first = FirstPointInOrAfter(series, columns, 0);
  std::size_t width = 0;  // points in the column before
  for (int column = 0; column < columns.columns; ++column) {
    const std::size_t last = FirstPointInOrAfter(series, columns, column + 1, first, width);
    Extremes extremes;
    if (first < last) {
      const CountRange range = series.Pyramid().Of(counts, first, last);
      // Volts rise with the count.
      extremes.Add(volts[static_cast<std::size_t>(range.lowest + 32768)]);
      extremes.Add(volts[static_cast<std::size_t>(range.highest + 32768)]);
    }
    if (first >= 1 && first < size)
      extremes.Add(LineAt(series, first - 1, columns.LeftEdge(column)));
    if (last >= 1 && last < size)
      extremes.Add(LineAt(series, last - 1, columns.LeftEdge(column + 1)));
    spans[static_cast<std::size_t>(column)] = SpanOf(extremes, rows);
    width = last - first;
    first = last;
  }
}

void TraceEveryPoint(const PlotSeries& series, const ColumnMapping& columns, const RowMapping& rows,
                     std::span<ColumnSpan> spans) {
  std::vector<Extremes> collected(static_cast<std::size_t>(std::max(columns.columns, 0)));
  const auto add = [&](int column, double volts) {
    if (column >= 0 && column < columns.columns) {
      collected[static_cast<std::size_t>(column)].Add(volts);
    }
  };
  for (std::size_t point = 0; point < series.Size(); ++point) {
    const int column = columns.Column(series.X(point));
    add(column, VoltsOf(series, point));
    if (point == 0) continue;
    // The line from the point before crosses the edges of every column between the two.
    const int before = columns.Column(series.X(point - 1));
    for (int crossed = std::max(before, -1); crossed < column; ++crossed) {
      const double volts = LineAt(series, point - 1, columns.LeftEdge(crossed + 1));
      add(crossed, volts);
      add(crossed + 1, volts);
    }
  }
  for (std::size_t column = 0; column < collected.size(); ++column) {
    spans[column] = SpanOf(collected[column], rows);
  }
}

}  // namespace ampelon
