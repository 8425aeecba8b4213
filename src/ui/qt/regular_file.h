#pragma once

#include "common/result.h"

class QFile;

namespace ampelon {

// Opens `file`, whose name is set, for reading when it is a regular file. Never waits: opening a
// named pipe the usual way blocks until some program writes to it. Fails with the reason, for
// the user.
Result<void> OpenRegularFile(QFile& file);

}  // namespace ampelon
