#include "serial/qt/qt_serial_control.h"

#include <optional>
#include <string>

#include <QDir>

#include <gtest/gtest.h>

namespace ampelon {
namespace {

std::string MissingDevicePath() {
  return QDir::temp().filePath("ampelon-no-such-serial-device").toStdString();
}

struct OpenFailure {
  Result<void> result;
  bool isOpen = true;
  int events = 0;
};

OpenFailure TryOpen(const std::string& lineSettings, const std::string& device) {
  QtSerialControl control([device](int) { return device; });
  OpenFailure outcome;
  control.SetEventHandler([&outcome](const SerialEvent&) { ++outcome.events; });
  control.SetPortNumber(3);
  control.SetLineSettings(lineSettings);
  outcome.result = control.Open();
  outcome.isOpen = control.IsOpen();
  control.Close();
  return outcome;
}

TEST(QtSerialControlTest, UnusableLineSettingsFailTheOpenWithTheParsersReason) {
  const struct {
    std::string settings;
    std::string reason;
  } cases[] = {
      {"fast,n,8,1", "Unsupported speed \"fast\""},
      {"19200,n,9,1", "Unsupported data bits \"9\""},
      {"19200,q", "Unsupported parity \"q\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.settings);
    const OpenFailure outcome = TryOpen(c.settings, MissingDevicePath());
    ASSERT_FALSE(outcome.result);
    EXPECT_EQ(outcome.result.error(), c.reason);
    EXPECT_FALSE(outcome.isOpen);
    EXPECT_EQ(outcome.events, 0) << "open failures are results, not events";
  }
}

TEST(QtSerialControlTest, MissingDeviceFailsWithTheSystemsReason) {
  const std::string device = MissingDevicePath();
  const OpenFailure outcome = TryOpen("19200,n,8,1", device);
  ASSERT_FALSE(outcome.result);
  const std::string& reason = outcome.result.error();
  EXPECT_EQ(reason.rfind(device + ": ", 0), 0u) << reason;
  EXPECT_GT(reason.size(), device.size() + 2) << "no reason after the device";
  EXPECT_FALSE(outcome.isOpen);
  EXPECT_EQ(outcome.events, 0);
}

}  // namespace
}  // namespace ampelon
