// The legacy-UART check on a tree of its own: /dev nodes (plain files) and the kernel's port
// types in /sys/class/tty, as an 8250 driver with fewer real ports than nodes leaves them.
#include "serial/qt/uart_presence.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ampelon {
namespace {

namespace fs = std::filesystem;

TEST(UartPresenceTest, OnlyLegacyNodesTheKernelKnowsNoHardwareForAreAbsent) {
  QTemporaryDir folder;
  // Resolved, as the check compares the resolved device path with the root.
  const fs::path root = fs::canonical(folder.path().toStdString());
  fs::create_directories(root / "dev/serial/by-path");
  // Kernel name and port type in sysfs: 0 means no hardware, 4 a 16550A.
  const struct {
    const char* name;
    const char* type;
  } nodes[] = {{"ttyS0", "0\n"}, {"ttyS1", "4\n"},  {"ttyS3", "x"},
               {"ttyS", "0\n"},  {"ttyS4a", "0\n"}, {"ttyUSB0", "0\n"}};
  for (const auto& [name, type] : nodes) {
    std::ofstream(root / "dev" / name).put('\n');
    fs::create_directories(root / "sys/class/tty" / name);
    std::ofstream(root / "sys/class/tty" / name / "type") << type;
  }
  std::ofstream(root / "dev/ttyS2").put('\n');  // no sysfs entry
  fs::create_symlink("../../ttyS0", root / "dev/serial/by-path/pci-0");

  const struct {
    const char* device;
    bool present;
  } cases[] = {
      {"dev/ttyS0", false},
      {"dev/serial/by-path/pci-0", false},  // links are followed
      {"dev/ttyS1", true},
      // No type to learn (neither from sysfs nor from the node, a plain file): the open decides.
      {"dev/ttyS2", true},
      {"dev/ttyS3", true},
      {"dev/ttyS9", true},  // no such node
      // Not legacy UART nodes, whatever sysfs says.
      {"dev/ttyS", true},
      {"dev/ttyS4a", true},
      {"dev/ttyUSB0", true},
  };
  for (const auto& [device, present] : cases) {
    EXPECT_EQ(UartHardwarePresent((root / device).string(), root.string()), present) << device;
  }
}

}  // namespace
}  // namespace ampelon
