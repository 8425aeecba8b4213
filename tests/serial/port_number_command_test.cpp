#include "serial/port_number_command.h"

#include <gtest/gtest.h>

#include "fakes/fake_dialogs.h"
#include "fakes/fake_label.h"
#include "fakes/fake_serial_control.h"
#include "fakes/fake_settings_backend.h"
#include "serial/serial_port_opener.h"
#include "settings/settings_store.h"

namespace ampelon {
namespace {

using namespace ampelon::testing;

class PortNumberCommandTest : public ::testing::Test {
 protected:
  PortNumberCommandTest() {
    for (int port = 1; port <= 12; ++port) m_serial.AddWorkingPort(port);
    m_opener.OpenSerialPort();
  }

  FakeSettingsBackend m_backend;
  SettingsStore m_settings{m_backend};
  FakeSerialControl m_serial;
  FakeLabel m_status;
  FakeDialogs m_dialogs;
  SerialPortOpener m_opener{m_settings, m_serial, m_status};
  PortNumberCommand m_command{m_settings, m_serial, m_opener, m_dialogs, "Ampelon"};
};

TEST_F(PortNumberCommandTest, AsksWithTheCurrentNumberAndOpensTheChosenPort) {
  m_dialogs.Answer("5");
  m_command.Run();
  ASSERT_EQ(m_dialogs.InputBoxes().size(), 1u);
  EXPECT_EQ(m_dialogs.InputBoxes()[0].text, "Please select Serial Port Number [1-12].");
  EXPECT_EQ(m_dialogs.InputBoxes()[0].title, "Ampelon");
  EXPECT_EQ(m_dialogs.InputBoxes()[0].proposal, "2");
  EXPECT_EQ(m_serial.CloseCalls(), 1);
  EXPECT_EQ(m_backend.Text("Serial Port Number"), "5");
  EXPECT_EQ(m_serial.OpenAttempts().back(), 5);
  EXPECT_EQ(m_status.Text(), "Serial port 5 ready");
  EXPECT_TRUE(m_dialogs.Messages().empty());
}

TEST_F(PortNumberCommandTest, OtherAnswersKeepTheNumberAndReopenIt) {
  const struct {
    const char* answer;
    bool wrongEntry;
  } cases[] = {{"", false},  {"0", true},  {"13", true},   {"05", true}, {" 5", true},
               {"5 ", true}, {"-1", true}, {"COM5", true}, {"abc", true}};
  for (const auto& c : cases) {
    const std::size_t messagesBefore = m_dialogs.Messages().size();
    m_dialogs.Answer(c.answer);
    m_command.Run();
    EXPECT_EQ(m_dialogs.Messages().size() - messagesBefore, c.wrongEntry ? 1u : 0u) << c.answer;
    if (c.wrongEntry) {
      EXPECT_EQ(m_dialogs.Messages().back().text, "Wrong entry!");
      EXPECT_EQ(m_dialogs.Messages().back().title, "Ampelon");
    }
    EXPECT_EQ(m_backend.Text("Serial Port Number"), "2") << c.answer;
    EXPECT_EQ(m_serial.OpenAttempts().back(), 2) << c.answer;
  }
}

TEST_F(PortNumberCommandTest, RewritesANonCanonicalStoredNumber) {
  m_backend.Set("Serial Port Number", "3abc");
  m_opener.OpenSerialPort();
  m_command.Run();  // cancelled
  EXPECT_EQ(m_dialogs.InputBoxes().back().proposal, "3");
  EXPECT_EQ(m_backend.Text("Serial Port Number"), "3");
}

TEST_F(PortNumberCommandTest, StopsRetryingALostPort) {
  m_opener.OnPortLost("gone");
  m_serial.FailPort(9, "No such device");
  m_dialogs.Answer("9");
  m_command.Run();
  EXPECT_FALSE(m_opener.RetryingLostPort());
  EXPECT_EQ(m_status.Text(), "Serial port 9 error!");
}

}  // namespace
}  // namespace ampelon
