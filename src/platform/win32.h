// The program's one platform header: Windows' own <windows.h> on Windows, and on other hosts
// our Win32 subset (its core over a backend), which offers the same names with the same
// behaviour.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/win32_subset.h"
#endif
