#pragma once

#include <filesystem>
#include <string_view>

#include "common/result.h"

namespace ampelon {

// Replaces the file at `path` (or creates it) with `bytes` in one step: they are written to a
// new file beside it, every write and the flush to the disk are checked, and only then is the
// new file renamed over the old one. On any failure the old file stays whole and the new one is
// removed. A link is followed to the file it names, whose permissions the new file keeps; a
// folder or anything else that is not a regular file is never replaced. Fails with the system's
// reason ("No space left on device") or NotRegularFileReason().
Result<void> ReplaceWholeFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace ampelon
