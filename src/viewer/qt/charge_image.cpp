#include "viewer/qt/charge_image.h"

#include "viewer/qt/plot_widget.h"

namespace ampelon {

QImage RenderChargeImage(const Charge& charge, const Charge* reference, QSize size, bool timeAxis) {
  PlotWidget plot;
  plot.SetCharge(&charge);
  plot.SetReference(reference);
  plot.SetTimeAxis(timeAxis);
  return plot.RenderImage(size, 1.0);
}

}  // namespace ampelon
