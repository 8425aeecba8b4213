#pragma once

#include <QString>

#include "common/result.h"

namespace ampelon {

// A folder inside `parent` (the temporary folder) that only this user may use, made when
// missing: a home for the single-instance lock and socket where the runtime folder cannot hold
// them. Fails, saying why, when that name is taken by anything else: a link, a file, another
// user's folder, or a folder others may enter.
Result<QString> PrivateFolderIn(const QString& parent);

}  // namespace ampelon
