#pragma once

// The Windows API without the parts that clash with standard C++: min and max as macros and the
// seldom-used headers. Include this instead of <windows.h>; Windows-only files only.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
