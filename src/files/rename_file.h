#pragma once

#include <filesystem>

#include "common/result.h"

namespace ampelon {

// Renaming and removing files by name while other programs read them (opened as RegularFile
// opens them). The platform's calls sit in rename_file_posix.cpp and rename_file_windows.cpp.

// Renames `from` to `to` in the same folder, replacing a file of that name in one step, also
// while another program holds either file open.
Result<void> RenameFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes the file `path`, its name free at once even while another program holds it open;
// nothing when there is no such file.
Result<void> RemoveFile(const std::filesystem::path& path);

}  // namespace ampelon
