#include "serial/serial_port_opener.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_label.h"
#include "fakes/fake_serial_control.h"
#include "fakes/fake_settings_backend.h"
#include "settings/settings_store.h"

namespace ampelon {
namespace {

using namespace ampelon::testing;

class SerialPortOpenerTest : public ::testing::Test {
 protected:
  std::vector<std::string> PortNumberWrites() const {
    std::vector<std::string> texts;
    for (const auto& [name, text] : m_backend.WrittenTexts()) {
      if (name == "Serial Port Number") texts.push_back(text);
    }
    return texts;
  }

  FakeSettingsBackend m_backend;
  SettingsStore m_settings{m_backend};
  FakeSerialControl m_serial;
  FakeLabel m_status;
  SerialPortOpener m_opener{m_settings, m_serial, m_status};
};

TEST_F(SerialPortOpenerTest, FirstRunStoresTheDefaultsAndOpensPortTwo) {
  m_serial.AddWorkingPort(2);
  m_opener.OpenSerialPort();
  EXPECT_EQ(m_backend.Text("Serial Port Number"), "2");
  EXPECT_EQ(m_backend.Text("Serial Port Baud Rate"), "19200");
  EXPECT_EQ(m_serial.LineSettings(), "19200,n,8,1");
  EXPECT_TRUE(m_opener.PortReady());
  EXPECT_EQ(m_status.Text(), "Serial port 2 ready");
  EXPECT_EQ(m_status.Background(), 0xC0FFC0u);
  EXPECT_EQ(m_status.HoverText(), "");
}

TEST_F(SerialPortOpenerTest, StoredNumberTextsAreReadAsTheirLeadingNumber) {
  const struct {
    const char* stored;
    int port;
  } cases[] = {{"3abc", 3}, {"2.5", 2}, {"3.5", 4}, {" 5", 5}, {"abc", 0}, {"1e30", 0}};
  for (const auto& c : cases) {
    m_backend.Set("Serial Port Number", c.stored);
    m_opener.OpenSerialPort();
    EXPECT_EQ(m_opener.PortNumber(), c.port) << c.stored;
    EXPECT_EQ(m_serial.PortNumber(), c.port) << c.stored;
  }
}

TEST_F(SerialPortOpenerTest, FailedOpenShowsTheErrorWithItsReason) {
  m_backend.Set("Serial Port Baud Rate", "9600");
  m_serial.AddWorkingPort(2);
  m_opener.OpenSerialPort();
  ASSERT_TRUE(m_opener.PortReady());
  EXPECT_EQ(m_serial.LineSettings(), "9600,n,8,1");

  m_serial.FailPort(2, "/dev/ttyS1: Device or resource busy");
  m_opener.OpenSerialPort();
  EXPECT_FALSE(m_opener.PortReady());
  EXPECT_EQ(m_status.Text(), "Serial port 2 error!");
  EXPECT_EQ(m_status.Background(), 0xC0C0FFu);
  EXPECT_EQ(m_status.HoverText(), "/dev/ttyS1: Device or resource busy");
}

TEST_F(SerialPortOpenerTest, ScanDoesNothingWhenTheConfiguredPortOpened) {
  m_serial.AddWorkingPort(2);
  m_opener.OpenSerialPort();
  m_backend.ForgetWrites();
  m_opener.ScanSerialPorts();
  EXPECT_TRUE(m_backend.WrittenTexts().empty());
  EXPECT_EQ(m_serial.OpenAttempts(), std::vector<int>{2});
}

TEST_F(SerialPortOpenerTest, ScanKeepsTheFirstPortThatOpensFromTwelveDown) {
  m_serial.AddWorkingPort(7);
  m_serial.AddWorkingPort(3);
  m_opener.OpenSerialPort();
  m_opener.ScanSerialPorts();
  EXPECT_EQ(m_serial.OpenAttempts(), (std::vector<int>{2, 12, 11, 10, 9, 8, 7}));
  EXPECT_EQ(m_backend.Text("Serial Port Number"), "7");
  EXPECT_EQ(m_opener.PortNumber(), 7);
  EXPECT_EQ(m_status.Text(), "Serial port 7 ready");
}

TEST_F(SerialPortOpenerTest, ScanWithoutAnyPortRestoresTheConfiguredNumberCanonically) {
  m_backend.Set("Serial Port Number", "3abc");
  m_opener.OpenSerialPort();
  m_opener.ScanSerialPorts();
  EXPECT_EQ(m_serial.OpenAttempts(),
            (std::vector<int>{3, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 3}));
  EXPECT_EQ(PortNumberWrites().back(), "3");
  EXPECT_EQ(m_backend.Text("Serial Port Number"), "3");
  EXPECT_FALSE(m_opener.PortReady());
  EXPECT_EQ(m_status.Text(), "Serial port 3 error!");
}

TEST_F(SerialPortOpenerTest, LostPortIsRetriedUntilItComesBack) {
  m_serial.AddWorkingPort(2);
  m_opener.OpenSerialPort();
  m_opener.OnPortLost("/dev/ttyUSB0: The device stopped answering");
  EXPECT_FALSE(m_opener.PortReady());
  EXPECT_EQ(m_status.Text(), "Serial port 2 error!");
  EXPECT_EQ(m_status.HoverText(), "/dev/ttyUSB0: The device stopped answering");

  m_serial.FailPort(2, "No such device");
  m_opener.RetryLostPort();
  m_opener.RetryLostPort();
  EXPECT_EQ(m_status.Text(), "Serial port 2 error!");
  EXPECT_TRUE(m_opener.RetryingLostPort());

  m_serial = FakeSerialControl();
  m_serial.AddWorkingPort(2);
  m_opener.RetryLostPort();
  EXPECT_TRUE(m_opener.PortReady());
  EXPECT_EQ(m_status.Text(), "Serial port 2 ready");
  EXPECT_FALSE(m_opener.RetryingLostPort());
  m_opener.RetryLostPort();
  EXPECT_EQ(m_serial.OpenAttempts().size(), 1u);  // no more attempts once back
}

TEST_F(SerialPortOpenerTest, NoRetriesForAPortThatNeverOpened) {
  m_opener.OpenSerialPort();
  m_opener.RetryLostPort();
  EXPECT_EQ(m_serial.OpenAttempts().size(), 1u);
}

}  // namespace
}  // namespace ampelon
