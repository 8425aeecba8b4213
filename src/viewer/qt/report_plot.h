#pragma once

#include <vector>

#include <QImage>
#include <QSize>
#include <QString>

#include "analysis/charge_figures.h"
#include "history/pinned_note.h"
#include "viewer/charge.h"

namespace ampelon {

// What the report's plot shows: the whole charge, the reference behind it where one is shown,
// the reported charge's peak and end, and a numbered flag at each note's reading.
struct ReportPlotContent {
  const Charge* charge = nullptr;
  const Charge* reference = nullptr;
  QString chargeName;  // for the legend
  QString referenceName;
  bool timeAxis = false;                   // drawn only where the charge has times
  const ChargeFigures* figures = nullptr;  // the charge reported on, where analysed
  std::vector<PinnedNote> notes;
};

// The plot as an image of `logicalSize` at `devicePixelRatio`, drawn as the viewer draws it.
QImage RenderReportPlot(const ReportPlotContent& content, QSize logicalSize,
                        qreal devicePixelRatio);

}  // namespace ampelon
