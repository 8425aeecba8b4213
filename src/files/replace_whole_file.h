#pragma once

#include <filesystem>
#include <string_view>

#include "common/result.h"

namespace ampelon {

// The reason given for a file the user made read-only.
inline constexpr char kReadOnlyFileReason[] = "The file is read-only";

// Whether the user may replace the existing file at `path` (a link: the file it names): fails
// with kReadOnlyFileReason for a file the user made read-only, which holds even for an
// administrator, or with the system's reason for one they may not write. A missing file may be
// created.
Result<void> CheckMayReplace(const std::filesystem::path& path);

// Replaces the file at `path` (or creates it) with `bytes` in one step: they are written to a
// new file beside it, every write and the flush to the disk are checked, and only then is the
// new file renamed over the old one and the folder flushed too. On any failure the old file
// stays whole and the new one is removed. A link is followed to the file it names, whose
// permissions the new file keeps; a folder or anything else that is not a regular file is never
// replaced, nor is one CheckMayReplace() refuses. Fails with the system's reason ("No space left
// on device", "Permission denied"), NotRegularFileReason() or kReadOnlyFileReason.
Result<void> ReplaceWholeFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace ampelon
