// The whole window over a real pseudo-terminal: a device that goes away and comes back.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <chrono>
#include <memory>

#include "fakes/fake_clock.h"
#include "fakes/fake_settings_backend.h"
#include "serial/port_override_file.h"
#include "serial/pseudo_terminal.h"
#include "serial/qt/qt_serial_control.h"
#include "serial/serial_event_log.h"
#include "settings/settings_store.h"
#include "ui/main_controller.h"
#include "ui/qt/form1.h"

namespace ampelon {
namespace {

using namespace std::chrono_literals;
using testing::PseudoTerminal;
using testing::SpinUntil;

class PortLossTest : public ::testing::Test {
 protected:
  PortLossTest() {
    m_devicePath = m_folder.filePath(QStringLiteral("device")).toStdString();
    QFile overrides(QString::fromStdString(m_overrideFile));
    EXPECT_TRUE(overrides.open(QIODevice::WriteOnly));
    overrides.write("[Ports]\nCOM2=" + QByteArray::fromStdString(m_devicePath) + "\n");
    overrides.close();
    m_backend.Set("Serial Port Number", "2");
  }

  // Points the port's device link at a pseudo-terminal, as udev does when a device appears.
  void PlugIn(const PseudoTerminal& terminal) {
    QFile::remove(QString::fromStdString(m_devicePath));
    ASSERT_TRUE(QFile::link(QString::fromStdString(terminal.SlavePath()),
                            QString::fromStdString(m_devicePath)));
  }

  QString Status() const { return m_window->findChild<QLabel*>(QStringLiteral("Label1"))->text(); }
  int Readings() const { return m_window->Controller().Store().SampleCount(); }

  QTemporaryDir m_folder;
  std::string m_overrideFile = m_folder.filePath(QStringLiteral("settings.ini")).toStdString();
  std::string m_devicePath;
  testing::FakeClock m_clock{36000.0f};
  testing::FakeSettingsBackend m_backend;
  SettingsStore m_settings{m_backend};
  PortOverrideFile m_overrides{m_overrideFile};
  QtSerialControl m_serial{[this](int port) { return m_overrides.DevicePathFor(port); }};
  std::unique_ptr<Form1> m_window;
};

TEST_F(PortLossTest, LostDeviceShowsAnErrorKeepsTheReadingsAndIsReopened) {
  PseudoTerminal first;
  ASSERT_TRUE(first.IsValid());
  PlugIn(first);
  m_window = std::make_unique<Form1>(m_clock, m_serial, m_settings, StartupPaths{"/"});
  m_window->Load();
  EXPECT_EQ(Status(), QStringLiteral("Serial port 2 ready"));

  first.WriteSome("1500\n1600\n17");
  ASSERT_TRUE(SpinUntil([this] { return Readings() == 2; }, 3s));

  first.CloseMaster();
  ASSERT_TRUE(SpinUntil([this] { return Status().endsWith(QStringLiteral("error!")); }, 3s));
  EXPECT_FALSE(m_window->Controller().Port().PortReady());
  EXPECT_EQ(Readings(), 2);

  // The device comes back under the same name: within a couple of ticks the port is ready.
  PseudoTerminal second;
  ASSERT_TRUE(second.IsValid());
  PlugIn(second);
  ASSERT_TRUE(SpinUntil([this] { return Status() == QStringLiteral("Serial port 2 ready"); }, 4s));
  second.WriteSome("00\n1800\n");
  ASSERT_TRUE(SpinUntil([this] { return Readings() == 3; }, 3s));
  EXPECT_EQ(m_window->Controller().Store().LatestSample(), 1800);
}

}  // namespace
}  // namespace ampelon
