#include "viewer/plot_view.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ampelon {
namespace {

// A zoom stops where a span would no longer hold distinct doubles at pixel steps, or be wider
// than a hundred times the data.
constexpr double kSmallestSpanShare = 1e-9;
constexpr double kWidestSpanShare = 100;

AxisRange Ordered(AxisRange range) {
  if (range.high < range.low) std::swap(range.low, range.high);
  return range;
}

AxisRange Zoomed(AxisRange range, double at, double factor, double smallest, double widest) {
  const double span = std::clamp(range.Span() * factor, smallest, widest);
  const double share = range.Span() > 0 ? (at - range.low) / range.Span() : 0.5;
  const double low = at - share * span;
  return {low, low + span};
}

}  // namespace

void PlotView::ShowAll(AxisRange data) {
  m_data = Ordered(data);
  const double span = m_data.Span();
  const double margin = span > 0 ? span / 100 : 0.5;
  m_x = {m_data.low - margin, m_data.high + margin};
  m_volts.reset();
  m_showingAll = true;
}

void PlotView::SetX(AxisRange x) {
  m_x = x;
  m_showingAll = false;
}

void PlotView::ZoomX(double at, double factor) {
  const double scale = std::max(m_data.Span(), 1.0);
  SetX(Zoomed(m_x, at, factor, scale * kSmallestSpanShare, scale * kWidestSpanShare));
}

void PlotView::ZoomVolts(AxisRange shown, double at, double factor) {
  m_volts = Zoomed(shown, at, factor, 1e-6, 1000);
  m_showingAll = false;
}

void PlotView::ZoomTo(std::optional<AxisRange> x, std::optional<AxisRange> volts) {
  if (x && Ordered(*x).Span() > 0) SetX(Ordered(*x));
  if (volts && Ordered(*volts).Span() > 0) {
    m_volts = Ordered(*volts);
    m_showingAll = false;
  }
}

void PlotView::Pan(double dx, double dv, AxisRange shown) {
  if (dx != 0) SetX({m_x.low + dx, m_x.high + dx});
  if (dv != 0) {
    m_volts = AxisRange{shown.low + dv, shown.high + dv};
    m_showingAll = false;
  }
}

void PlotView::Grew(AxisRange before, AxisRange after) {
  if (m_showingAll) {
    ShowAll(after);
    return;
  }
  const bool newestShown = before.high >= m_x.low && before.high <= m_x.high;
  m_data = Ordered(after);
  if (newestShown) {
    const double shift = after.high - before.high;
    m_x = {m_x.low + shift, m_x.high + shift};
  }
}

AxisRange FittedVolts(double lowest, double highest) {
  const double margin = std::max((highest - lowest) * 0.05, 0.005);
  return {lowest - margin, highest + margin};
}

}  // namespace ampelon
