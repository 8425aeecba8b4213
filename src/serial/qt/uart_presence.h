#pragma once

#include <string>

namespace ampelon {

// False only for a legacy UART node (Linux /dev/ttyS*) that the kernel reports as having no
// hardware behind it: such a node exists and may even open, but no device can ever answer on it.
// Every other device, and one whose state cannot be learned, counts as present, so that opening it
// reports the operating system's own reason. `systemRoot` is put before /dev and /sys, so that
// tests can pass a folder holding a tree of their own.
bool UartHardwarePresent(const std::string& devicePath, const std::string& systemRoot = "");

}  // namespace ampelon
