#pragma once

#include <string>

class QFile;

namespace ampelon {

// Opens `file`, whose name is set, for reading when it is a regular file. Never waits: opening a
// named pipe the usual way blocks until some program writes to it. The empty text when the file
// is open, otherwise the reason, for the user.
std::string OpenRegularFile(QFile& file);

}  // namespace ampelon
