#pragma once

#include <QImage>
#include <QSize>

#include "viewer/charge.h"

namespace ampelon {

// The plot of a whole charge (and a reference behind it, when not null) as an image of `size`
// pixels, on the time axis when asked for and both have times. Needs no widget and no screen,
// only a QGuiApplication (for the fonts): for exports from the command line.
QImage RenderChargeImage(const Charge& charge, const Charge* reference, QSize size, bool timeAxis);

}  // namespace ampelon
