#pragma once

#include <cstddef>
#include <filesystem>

#include "common/result.h"

class QByteArray;
class QImage;

namespace ampelon {

struct Charge;

// The readings [first, last) of `charge` as a CSV file at `path`. The file is written beside its
// final name and swapped in only when complete: a failure (a full disk, a read-only folder)
// leaves no cut-off file, and any earlier file whole. Fails with the system's reason, or for a
// name that is no UTF-8 (Qt, which writes it, cannot hold such a name).
Result<void> SaveCsvFile(const std::filesystem::path& path, const Charge& charge, std::size_t first,
                         std::size_t last);

// `image` as a PNG file, written as SaveCsvFile() writes.
Result<void> SavePngFile(const std::filesystem::path& path, const QImage& image);

// `bytes` made whole in memory (a PDF), written as SaveCsvFile() writes.
Result<void> SaveBytesFile(const std::filesystem::path& path, const QByteArray& bytes);

}  // namespace ampelon
