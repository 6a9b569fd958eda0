// Message boxes: the backend's modal box, with one OK button.
#include <cstdio>
#include <string>

#include "platform/platform_internal.h"

// Shows the box and returns once it is dismissed. A box the backend cannot show (a video driver
// without message boxes) leaves its text on stderr instead and returns 0, Windows' answer for
// failure.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const SubsetWindow* ownerWindow = subsetFindWindow(owner);
    BackendWindow* parent = ownerWindow != nullptr && ownerWindow->shown ? ownerWindow->native : nullptr;
    const char* title = caption != nullptr ? caption : "Error";  // Windows' caption when none is given
    std::string line = text != nullptr ? text : "";
    if (backendMessageBox(parent, title, line.c_str(), (type & MB_ICONERROR) != 0)) {
        return IDOK;
    }
    while (!line.empty() && line.back() == '\n') {
        line.pop_back();
    }
    std::fprintf(stderr, "%s: %s: %s\n", coreProgramName(), title, line.c_str());
    return 0;
}
