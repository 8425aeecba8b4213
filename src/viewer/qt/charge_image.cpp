#include "viewer/qt/charge_image.h"

#include <optional>

#include "viewer/plot_series.h"
#include "viewer/plot_view.h"
#include "viewer/qt/plot_renderer.h"
#include "viewer/reference_placement.h"
#include "viewer/series_extent.h"

namespace ampelon {

QImage RenderChargeImage(const Charge& charge, const Charge* reference, QSize size, bool timeAxis,
                         const QString& chargeName) {
  const XAxis axis = timeAxis && !charge.seconds.empty() ? XAxis::kTime : XAxis::kSampleNumber;
  const PlotSeries series(charge, axis);
  std::optional<PlotSeries> referenceSeries;
  if (reference != nullptr) {
    const ReferencePlacement placement = PlaceReference(charge, *reference, axis);
    referenceSeries.emplace(*reference, axis, placement.xOffset, placement.secondsPerReading);
  }
  const PlotSeries* referenceShown = referenceSeries ? &*referenceSeries : nullptr;
  PlotView view;
  view.ShowAll(XExtent({&series, referenceShown}).value_or(AxisRange{0, 1}));
  PlotScene scene;
  if (series.Size() > 0) {
    scene.charge = &series;
    scene.reference = referenceShown;
  }
  scene.chargeName = chargeName;
  scene.x = view.X();
  scene.volts = VoltsInView({&series, referenceShown}, view.X());
  QImage image(size, QImage::Format_RGB32);
  if (!image.isNull()) PlotRenderer().Render(scene, image);
  return image;
}

}  // namespace ampelon
