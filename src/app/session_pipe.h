#pragma once

#include <string>

#include "common/result.h"

// Windows only: named pipes share one namespace across all users and sessions, so anyone may
// create a pipe of a known name first and read what is sent to it.
namespace ampelon {

// The single-instance pipe's name for this user in this session: "ampelon-<session id>-<SID>";
// empty when the process's own user cannot be read.
std::wstring SessionPipeName();

// Fails unless the process at the server end of `pipe` (a connected pipe's handle) runs as this
// process's user.
Result<void> CheckPipeServerIsThisUser(void* pipe);

}  // namespace ampelon
