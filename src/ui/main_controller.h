#pragma once

#include "chart/chart.h"
#include "measurement/sample_store.h"
#include "measurement/serial_line_decoder.h"

namespace ampelon {

class Clock;
class SerialControl;
struct SerialEvent;

// Everything the main window does, driven by its events: load, resize, the one-second tick, the
// serial control's event and the menu commands. It talks to the window only through interfaces.
class MainController {
 public:
  struct Views {
    ChartCanvas& canvas;
    WindowGeometry& geometry;
    ChartLabels labels;
    char decimalPoint = '.';
  };

  MainController(Clock& clock, SerialControl& serial, const Views& views);

  // Start-up, before the window is first shown.
  void OnLoad();
  // Every change of the window's size.
  void OnResize();
  // The one-second tick.
  void OnTick();
  // The serial control's event, of whatever kind.
  void OnSerialEvent(const SerialEvent& event);

  const SampleStore& Store() const { return m_store; }
  const Chart& GetChart() const { return m_chart; }

 private:
  SerialControl& m_serial;
  SampleStore m_store;
  SerialLineDecoder m_decoder;
  Chart m_chart;
};

}  // namespace ampelon
