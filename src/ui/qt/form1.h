#pragma once

#include <array>
#include <memory>

#include <QMainWindow>

#include "chart/window_geometry.h"
#include "ui/qt/twips.h"

class QLabel;
class QTimer;

namespace ampelon {

class ChartWidget;
class Clock;
class MainController;
class QtTextLabel;
class SerialControl;

// The main window: builds the design's elements, implements the window interfaces and turns Qt
// events (resize, timer, serial, menus) into calls on the MainController. No rules of its own.
class Form1 final : public QMainWindow, public WindowGeometry {
 public:
  // `clock` and `serial` must outlive the window.
  Form1(Clock& clock, SerialControl& serial, QWidget* parent = nullptr);
  ~Form1() override;

  // Runs the start-up sequence; call once before show().
  void Load();

  bool IsMinimized() const override;
  float Left() const override;
  float Top() const override;
  float Width() const override;
  float Height() const override;
  void SetLeft(float twips) override;
  void SetTop(float twips) override;
  void SetWidth(float twips) override;
  void SetHeight(float twips) override;

  MainController& Controller() { return *m_controller; }
  ChartWidget& Grafik() { return *m_grafik; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLabel* AddLabel(const char* name, int left, int top, int width, int height);
  void BuildMenus();
  int MenuBarHeight() const;
  void ResizeClient(int clientWidth, int clientHeight);

  Twips m_twips;
  ChartWidget* m_grafik = nullptr;
  QTimer* m_timer1 = nullptr;
  QLabel* m_label1 = nullptr;
  QLabel* m_labtime = nullptr;
  QLabel* m_labvalue = nullptr;
  std::array<QLabel*, 7> m_axisLabels{};  // lab1 (bottom) .. lab7 (top)
  std::array<std::unique_ptr<QtTextLabel>, 7> m_axisLabelViews;
  std::unique_ptr<QtTextLabel> m_labvalueView;
  std::unique_ptr<QtTextLabel> m_labtimeView;
  std::unique_ptr<MainController> m_controller;
};

}  // namespace ampelon
