#pragma once

#include <filesystem>
#include <string>

namespace ampelon {

// Why something of `type` cannot be read or replaced as a file, for the user: "It is a named
// pipe (FIFO), not a regular file". Every message about such a thing uses these words.
std::string NotRegularFileReason(std::filesystem::file_type type);

}  // namespace ampelon
