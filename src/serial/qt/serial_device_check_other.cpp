#include "serial/qt/serial_device_check.h"

namespace ampelon {

// Windows keeps its serial ports outside the file system, and opening a file, a folder or a pipe
// as a port fails at once with the system's reason: nothing to look at beforehand.
Result<void> CheckSerialDevice(const std::string& /*devicePath*/) { return {}; }

}  // namespace ampelon
