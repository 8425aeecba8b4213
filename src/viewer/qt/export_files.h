#pragma once

#include <cstddef>
#include <string>

#include "common/result.h"

class QImage;

namespace ampelon {

struct Charge;

// The readings [first, last) of `charge` as a CSV file named `fileName` (UTF-8). The file is
// written beside its final name and swapped in only when complete: a failure (a full disk, a
// read-only folder) leaves no cut-off file, and any earlier file whole. Fails with the system's
// reason.
Result<void> SaveCsvFile(const std::string& fileName, const Charge& charge, std::size_t first,
                         std::size_t last);

// `image` as a PNG file, written as SaveCsvFile() writes.
Result<void> SavePngFile(const std::string& fileName, const QImage& image);

}  // namespace ampelon
