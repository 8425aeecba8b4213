#pragma once

#include <filesystem>

#include <QString>

namespace ampelon {

// File names between Qt and the file system. Qt holds a name as text; the file system takes
// the system's own bytes (Unix), which need not be UTF-8, or UTF-16 (Windows). A name that
// comes as bytes (the command line, the environment) goes to the file system as a path, never
// through a QString, which would turn a byte that is no UTF-8 into U+FFFD.

// A name Qt gives (a file dialog, a drop).
std::filesystem::path PathFromQt(const QString& name);
// A name to show; a byte that is no UTF-8 shows as U+FFFD.
QString QtFromPath(const std::filesystem::path& path);
// A file named on the command line: its bytes as they are on Unix, the ANSI code page on
// Windows. Made absolute against the current folder, "." and ".." taken out.
std::filesystem::path PathFromArgument(const char* argument);

}  // namespace ampelon
