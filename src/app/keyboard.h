// The one-key commands, read from character messages.
#pragma once

#include "platform/win32.h"

// Runs the command for the character in a WM_CHAR message: Esc closes the window, "f" toggles
// fog, "p" wireframe, "j"/"k" step stepValue up/down. Any other character, capitals included,
// gets default processing. The keys people are told of are listed in packaging/controls.cmake.
LRESULT handleCharacter(HWND window, WPARAM character, LPARAM lParam);
