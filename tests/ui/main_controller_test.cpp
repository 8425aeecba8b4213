#include "ui/main_controller.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ui/controller_fixture.h"

namespace ampelon {
namespace {

using namespace ampelon::testing;

using MainControllerTest = ControllerFixture;

TEST_F(MainControllerTest, FirstRunCreatesEverySettingAndStartsFromTheDefaults) {
  m_serial.AddWorkingPort(2);
  m_controller->OnLoad();
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Last Path", "/home/user/"}, {"Window Left", "4000"},           {"Window Top", "3000"},
      {"Window Width", "8000"},     {"Window Height", "8000"},         {"Range", "0.3"},
      {"Serial Port Number", "2"},  {"Serial Port Baud Rate", "19200"}};
  EXPECT_EQ(m_backend.WrittenTexts(), expected);
  EXPECT_EQ(m_controller->LastPath(), "/home/user/");
  EXPECT_EQ(m_geometry.LeftTwips(), 4000.0f);
  EXPECT_EQ(m_geometry.TopTwips(), 3000.0f);
  EXPECT_EQ(m_geometry.OuterWidthTwips(), 8000.0f);
  EXPECT_EQ(m_geometry.OuterHeightTwips(), 8000.0f);
  EXPECT_EQ(m_geometry.KeepOnScreenCalls(), 1);
  EXPECT_EQ(Window().upperVolts, 1.3f);
  EXPECT_EQ(Window().lowerVolts, static_cast<float>(1.3f - static_cast<double>(0.3f)));
  EXPECT_EQ(m_axis[0].Text(), "1.00V");
  EXPECT_EQ(m_canvas.Clears(), 1);
  EXPECT_EQ(m_status.Text(), "Serial port 2 ready");
  EXPECT_TRUE(m_dialogs.Messages().empty());
}

TEST_F(MainControllerTest, UnusableSettingsFileIsReportedAtStartUpWhichGoesOn) {
  m_backend.SetProblem("/cfg/settings.ini is not a regular file");
  m_serial.AddWorkingPort(2);
  m_controller->OnLoad();
  m_controller->OnTick();
  ASSERT_EQ(m_dialogs.Messages().size(), 1u);
  EXPECT_EQ(m_dialogs.Messages()[0].title, "Ampelon");
  EXPECT_TRUE(m_dialogs.Messages()[0].text.starts_with(
      "The settings file /cfg/settings.ini is not a regular file.\n\nSettings are neither read "
      "nor kept"));
  EXPECT_EQ(m_status.Text(), "Serial port 2 ready");
}

// Every write may fail (a full disk): the first failure is told at the next tick, and no other.
TEST_F(MainControllerTest, AFailedSettingsWriteIsReportedOnce) {
  m_backend.FailWrites("Could not write /cfg/settings.ini: No space left on device");
  m_controller->OnLoad();
  m_controller->OnTick();
  m_settings.WriteSetting("Range", ".5");
  m_controller->OnTick();
  ASSERT_EQ(m_dialogs.Messages().size(), 1u);
  EXPECT_TRUE(m_dialogs.Messages()[0].text.starts_with(
      "Could not write /cfg/settings.ini: No space left on device.\n\n"))
      << m_dialogs.Messages()[0].text;
}

TEST_F(MainControllerTest, StoredRangeSetsTheStartWindowUnlessItIsUnusable) {
  const struct {
    const char* stored;
    float range;
  } cases[] = {{".5", 0.5f},   {"0.5", 0.5f},  {"5", 5.0f},     {".9", 0.9f},  {"abc", 0.3f},
               {"1e99", 0.3f}, {"-0.1", 0.3f}, {"-0.05", 0.3f}, {"nan", 0.3f}, {"0", 0.3f}};
  for (const auto& c : cases) {
    m_backend.Set("Range", c.stored);
    m_controller->OnLoad();
    EXPECT_EQ(Window().rangeVolts, c.range) << c.stored;
    EXPECT_EQ(Window().upperVolts, 1.3f) << c.stored;
    EXPECT_EQ(Window().lowerVolts, static_cast<float>(1.3f - static_cast<double>(c.range)))
        << c.stored;
  }
}

TEST_F(MainControllerTest, StoredGeometryIsAppliedAndNonsenseFallsBack) {
  m_backend.Set("Window Left", "-60");
  m_backend.Set("Window Top", "1E39");
  m_backend.Set("Window Width", "9000.5");
  m_backend.Set("Window Height", "nan");
  m_controller->OnLoad();
  EXPECT_EQ(m_geometry.LeftTwips(), -60.0f);
  EXPECT_EQ(m_geometry.TopTwips(), 3000.0f);
  EXPECT_EQ(m_geometry.OuterWidthTwips(), 9000.5f);
  EXPECT_EQ(m_geometry.OuterHeightTwips(), 8000.0f);

  m_backend.Set("Window Left", "abc");
  m_backend.Set("Window Top", "0");
  m_backend.Set("Window Height", "");
  m_controller->OnLoad();
  EXPECT_EQ(m_geometry.LeftTwips(), 4000.0f);
  EXPECT_EQ(m_geometry.TopTwips(), 0.0f);  // a stored 0 is a position like any other
  EXPECT_EQ(m_geometry.OuterHeightTwips(), 8000.0f);
}

TEST_F(MainControllerTest, UnloadStoresTheGeometryAsNumberTexts) {
  m_geometry.Place(4000.5f, -60.0f, 7140.0f, 9150.0f);
  m_controller->OnUnload();
  const std::vector<std::pair<std::string, std::string>> expected = {{"Window Left", "4000.5"},
                                                                     {"Window Top", "-60"},
                                                                     {"Window Width", "7140"},
                                                                     {"Window Height", "9150"}};
  EXPECT_EQ(m_backend.WrittenTexts(), expected);
}

TEST_F(MainControllerTest, ReadingsReachTheChartOnlyAtTheNextTick) {
  m_controller->OnLoad();
  m_serial.Receive("2048\n20");
  EXPECT_EQ(m_controller->Store().SampleCount(), 1);
  EXPECT_EQ(m_canvas.PointCount(), 0u);
  EXPECT_TRUE(m_value.Text().empty());

  m_serial.Receive("48\n");
  m_controller->OnTick();
  EXPECT_EQ(m_controller->Store().SampleCount(), 2);
  EXPECT_EQ(m_value.Text(), "1.250V [2048]");
  EXPECT_EQ(m_canvas.PointCount(), 2u);
}

TEST_F(MainControllerTest, LostPortKeepsTheReadingsAndComesBackOnATick) {
  m_serial.AddWorkingPort(2);
  m_controller->OnLoad();
  m_serial.Receive("1500\n15");
  m_serial.LosePort("/dev/ttyUSB0: The device stopped answering");
  EXPECT_EQ(m_status.Text(), "Serial port 2 error!");
  EXPECT_EQ(m_status.Background(), kLightRed);
  EXPECT_EQ(m_controller->Store().SampleCount(), 1);

  m_controller->OnTick();  // the port opens again
  EXPECT_EQ(m_status.Text(), "Serial port 2 ready");
  // The line cut off by the loss is not completed by the first bytes after it.
  m_serial.Receive("00\n1600\n");
  EXPECT_EQ(m_controller->Store().SampleCount(), 2);
  EXPECT_EQ(m_controller->Store().LatestSample(), 1600);
}

TEST_F(MainControllerTest, PortCommandAsksInTheProgramsName) {
  m_serial.AddWorkingPort(4);
  m_controller->OnLoad();
  m_dialogs.Answer("4");
  m_controller->OnChangeSerialPortNumber();
  ASSERT_EQ(m_dialogs.InputBoxes().size(), 1u);
  EXPECT_EQ(m_dialogs.InputBoxes()[0].title, "Ampelon");
  EXPECT_EQ(m_status.Text(), "Serial port 4 ready");
}

TEST_F(MainControllerTest, ResizeLaysOutTheChart) {
  m_controller->OnResize();  // the fake window has its default size, 7140 x 9150
  EXPECT_EQ(m_canvas.WidthTwips(), 6015.0f);
  EXPECT_EQ(m_canvas.HeightTwips(), 6735.0f);
}

}  // namespace
}  // namespace ampelon
