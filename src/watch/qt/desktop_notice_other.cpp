#include "watch/qt/desktop_notice.h"

namespace ampelon {

// Without a notification service of its own here, the flashing taskbar button is the notice.
void SendDesktopNotice(const Notice& /*notice*/) {}

}  // namespace ampelon
