#pragma once

namespace ampelon::settings {

// The names of every setting the program keeps.
inline constexpr const char* kLastPath = "Last Path";
inline constexpr const char* kWindowLeft = "Window Left";
inline constexpr const char* kWindowTop = "Window Top";
inline constexpr const char* kWindowWidth = "Window Width";
inline constexpr const char* kWindowHeight = "Window Height";
inline constexpr const char* kRange = "Range";
inline constexpr const char* kSerialPortNumber = "Serial Port Number";
inline constexpr const char* kSerialPortBaudRate = "Serial Port Baud Rate";

// The group of the settings file that gives port numbers device paths (keys "COM1", "COM2", ...).
inline constexpr const char* kPortsGroup = "Ports";

}  // namespace ampelon::settings
