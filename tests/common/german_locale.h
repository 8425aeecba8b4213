#pragma once

#include <clocale>

namespace ampelon::testing {

// Switches the C library to a German locale, whose decimal separator is the comma. False when
// the system has none: Linux names it "de_DE.UTF-8", the Windows C runtime "German_Germany.1252".
inline bool UseGermanLocale() {
  for (const char* name : {"de_DE.UTF-8", "German_Germany.1252"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) return true;
  }
  return false;
}

}  // namespace ampelon::testing
