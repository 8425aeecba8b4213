#pragma once

#include <array>
#include <functional>
#include <memory>
#include <utility>

#include <QMainWindow>

#include "chart/window_geometry.h"
#include "ui/qt/twips.h"

class QLabel;
class QTimer;

namespace ampelon {

class ChartWidget;
class Clock;
class MainController;
class QtDialogs;
class QtFileDialog;
class QtGraphFileAccess;
class QtTextLabel;
class SerialControl;
class SettingsStore;
struct StartupPaths;

// The main window: builds its widgets, implements the window interfaces and turns Qt events
// (resize, timer, serial, menus) into calls on the MainController. No rules of its own.
//
// The window and its widgets keep short object names: Form1; grafik (the chart); labvalue and
// labtime (the value and charge-time read-outs); Label1 (the port status) and Label2..Label4 (the
// captions); lab1..lab7 (the axis labels, bottom to top); Timer1; menu1 and menu2 with menusave,
// menuload, menuscaleup, menuscaledown, menurange and menuport. Tests and UI automation find the
// widgets by these names, so they stay as they are; the members are named after them.
class Form1 final : public QMainWindow, public WindowGeometry {
 public:
  // `clock`, `serial` and `settings` must outlive the window. The window is `serial`'s event
  // handler until it is destroyed.
  Form1(Clock& clock, SerialControl& serial, SettingsStore& settings, const StartupPaths& paths,
        QWidget* parent = nullptr);
  ~Form1() override;

  // Runs the start-up sequence; call once before show().
  void Load();
  // `onClosing` runs once when the window starts closing, before the controller unloads.
  void SetClosingHandler(std::function<void()> onClosing) { m_onClosing = std::move(onClosing); }

  bool IsMinimized() const override;
  float LeftTwips() const override;
  float TopTwips() const override;
  float OuterWidthTwips() const override;
  float OuterHeightTwips() const override;
  void SetLeftTwips(float twips) override;
  void SetTopTwips(float twips) override;
  void SetOuterWidthTwips(float twips) override;
  void SetOuterHeightTwips(float twips) override;
  void KeepOnScreen() override;

  MainController& Controller() { return *m_controller; }
  ChartWidget& Grafik() { return *m_grafik; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* AddLabel(const char* name, int left, int top, int width, int height);
  void BuildMenus();
  int MenuBarHeight() const;
  int ClientHeight() const;
  void ResizeClient(int clientWidth, int clientHeight);

  // Twips last set for one side of the geometry and the pixels they became: reading back gives
  // the same twips while the window still has those pixels, so whole twips round-trip.
  struct SetTwips {
    float twips = 0.0f;
    int pixels = -1;
  };
  float Reported(const SetTwips& set, int pixels) const;

  SerialControl& m_serial;
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
  std::unique_ptr<QtTextLabel> m_label1View;
  std::unique_ptr<QtDialogs> m_dialogs;
  std::unique_ptr<QtFileDialog> m_fileDialog;
  std::unique_ptr<QtGraphFileAccess> m_files;
  SetTwips m_setLeft;
  SetTwips m_setTop;
  SetTwips m_setWidth;
  SetTwips m_setHeight;
  bool m_unloaded = false;
  std::function<void()> m_onClosing;
  std::unique_ptr<MainController> m_controller;
};

}  // namespace ampelon
