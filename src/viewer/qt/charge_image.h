#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "viewer/charge.h"

namespace ampelon {

// The plot of a whole charge (and a reference behind it, when not null) as an image of `size`
// pixels, on the time axis when asked for and the charge has times, with `chargeName` in the
// legend where given. Needs no widget and no screen, only a QGuiApplication (for the fonts): for
// exports from the command line.
QImage RenderChargeImage(const Charge& charge, const Charge* reference, QSize size, bool timeAxis,
                         const QString& chargeName = {});

}  // namespace ampelon
