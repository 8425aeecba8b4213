#include "serial/qt/port_override_file.h"

#include <optional>
#include <string>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <gtest/gtest.h>

namespace ampelon {
namespace {

class PortOverrideFileTest : public ::testing::Test {
 protected:
  std::string FilePath() const { return (m_dir.path() + "/settings.ini").toStdString(); }

  void WriteFile(const QByteArray& contents) const {
    QFile file(QString::fromStdString(FilePath()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(contents), contents.size());
  }

  QTemporaryDir m_dir;
};

TEST_F(PortOverrideFileTest, ReadsTheKeyOfThatPortNumberOnly) {
  WriteFile(
      "[Window]\nCOM5=/dev/wrong-group\n"
      "[Ports]\nCOM5=/dev/serial/by-id/usb-Charger_A1-if00\nCOM6=\n"
      "COM7=/dev/odd,name\nCOM10=/dev/pts/7\n");
  const PortOverrideFile overrides(FilePath());

  EXPECT_EQ(overrides.DevicePathFor(5), "/dev/serial/by-id/usb-Charger_A1-if00");
  EXPECT_EQ(overrides.DevicePathFor(6), std::nullopt);  // empty value: use the numbering
  EXPECT_EQ(overrides.DevicePathFor(7), "/dev/odd,name");
  EXPECT_EQ(overrides.DevicePathFor(10), "/dev/pts/7");
  EXPECT_EQ(overrides.DevicePathFor(1), std::nullopt);
}

TEST_F(PortOverrideFileTest, MissingFileGivesNoOverride) {
  EXPECT_EQ(PortOverrideFile(FilePath()).DevicePathFor(5), std::nullopt);
}

TEST_F(PortOverrideFileTest, SeesAnEditAtTheNextLookup) {
  const PortOverrideFile overrides(FilePath());
  WriteFile("[Ports]\nCOM3=/dev/first\n");
  EXPECT_EQ(overrides.DevicePathFor(3), "/dev/first");
  WriteFile("[Ports]\nCOM3=/dev/second\n");
  EXPECT_EQ(overrides.DevicePathFor(3), "/dev/second");
}

#ifdef __linux__
TEST_F(PortOverrideFileTest, DefaultFileLiesInTheUsersConfigFolder) {
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
  const std::string path = PortOverrideFile::DefaultFilePath();
  if (wasSet) {
    qputenv("XDG_CONFIG_HOME", saved);
  } else {
    qunsetenv("XDG_CONFIG_HOME");
  }
  EXPECT_EQ(path, m_dir.path().toStdString() + "/Trevanix Ampelon/settings.ini");
}
#endif

}  // namespace
}  // namespace ampelon
