#pragma once

#include "chart/window_geometry.h"

namespace ampelon::testing {

// A main window whose state the test sets directly; sets made through the interface are counted.
class FakeWindowGeometry final : public WindowGeometry {
 public:
  FakeWindowGeometry(float width = 7140.0f, float height = 9150.0f)
      : m_width(width), m_height(height) {}

  bool IsMinimized() const override { return m_minimized; }
  float LeftTwips() const override { return m_left; }
  float TopTwips() const override { return m_top; }
  float OuterWidthTwips() const override { return m_width; }
  float OuterHeightTwips() const override { return m_height; }
  void SetLeftTwips(float twips) override {
    m_left = twips;
    ++m_sets;
  }
  void SetTopTwips(float twips) override {
    m_top = twips;
    ++m_sets;
  }
  void SetOuterWidthTwips(float twips) override {
    m_width = twips;
    ++m_sets;
  }
  void SetOuterHeightTwips(float twips) override {
    m_height = twips;
    ++m_sets;
  }
  void KeepOnScreen() override { ++m_keepOnScreenCalls; }

  // Test-side changes; not counted.
  void SetMinimized(bool minimized) { m_minimized = minimized; }
  void Place(float left, float top, float width, float height) {
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
  }
  int Sets() const { return m_sets; }
  int KeepOnScreenCalls() const { return m_keepOnScreenCalls; }

 private:
  bool m_minimized = false;
  float m_left = 0.0f;
  float m_top = 0.0f;
  float m_width;
  float m_height;
  int m_sets = 0;
  int m_keepOnScreenCalls = 0;
};

}  // namespace ampelon::testing
