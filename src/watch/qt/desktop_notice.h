#pragma once

namespace ampelon {

struct Notice;

// Shows `notice` through the desktop's notification service without waiting for it; nothing
// where the desktop has none.
void SendDesktopNotice(const Notice& notice);

}  // namespace ampelon
