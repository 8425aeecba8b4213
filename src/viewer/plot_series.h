#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "viewer/charge.h"
#include "viewer/min_max_pyramid.h"

namespace ampelon {

enum class XAxis { kSampleNumber, kTime };

// The points of one charge on one axis, in the order of their x: every reading at its sample
// number (1 for the first), or on the time axis the readings whose time is known and not before
// an earlier reading's, at their time. `xOffset` is added to every x (aligning a reference).
// Given `secondsPerReading`, a charge without times is laid out on the time axis by its sample
// numbers, that far apart, from `xOffset` on. Holds the charge by reference; with every reading
// on the axis it copies nothing.
class PlotSeries {
 public:
  PlotSeries(const Charge& charge, XAxis axis, double xOffset = 0, double secondsPerReading = 0);

  // After readings were appended to the charge. A charge that lost readings is taken afresh.
  void Extend();

  std::size_t Size() const { return m_size; }
  double X(std::size_t point) const {
    return m_byTimes ? m_charge.seconds[Reading(point)] + m_xOffset
                     : static_cast<double>(point) * m_step + m_firstX;
  }
  std::int16_t Count(std::size_t point) const { return Counts()[point]; }
  std::size_t Reading(std::size_t point) const {
    return m_readings.empty() ? point : m_readings[point];
  }
  std::span<const std::int16_t> Counts() const {
    return m_readings.empty() ? std::span<const std::int16_t>(m_charge.counts)
                              : std::span<const std::int16_t>(m_counts);
  }
  const MinMaxPyramid& Pyramid() const { return m_pyramid; }
  XAxis Axis() const { return m_axis; }
  double XOffset() const { return m_xOffset; }

  // The point that stands for `reading`, if it is one.
  std::optional<std::size_t> PointOf(std::size_t reading) const;
  // The first point whose x is at or above `x` (Size() if none).
  std::size_t FirstAtOrAfter(double x) const;
  // Points [first, last) with x in [low, high).
  std::pair<std::size_t, std::size_t> PointsBetween(double low, double high) const;
  // Lowest and highest count of the points with x in [low, high), and of the points just outside
  // when none lies within; nothing for an empty series.
  std::optional<CountRange> CountsBetween(double low, double high) const;

  // Bytes held beside the charge itself.
  std::size_t Bytes() const;

 private:
  const Charge& m_charge;
  XAxis m_axis;
  double m_xOffset;
  // Where the charge's own times give x; elsewhere every reading is a point, m_step apart from
  // m_firstX.
  bool m_byTimes;
  double m_step;
  double m_firstX;
  std::size_t m_size = 0;
  std::size_t m_readingsSeen = 0;
  double m_latestTime = 0;
  // Only once some reading is left off the time axis: which readings the points are, and their
  // counts in that order.
  std::vector<std::uint32_t> m_readings;
  std::vector<std::int16_t> m_counts;
  MinMaxPyramid m_pyramid;
};

// The time of a charge's first reading whose time is known: where the time axis puts its first
// point, and where a reference is aligned.
std::optional<double> FirstKnownTime(const Charge& charge);

// How far to move a reference's x so that its first point lies on the charge's first point:
// nothing on the sample axis, the difference of their first times on the time axis.
double ReferenceOffset(const Charge& charge, const Charge& reference, XAxis axis);

}  // namespace ampelon
