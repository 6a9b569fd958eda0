// Message boxes: SDL's modal message box with one OK button that Return and Esc also press.
#include <cstdio>
#include <string>

#include "platform/platform_internal.h"

// Shows the box and returns once it is dismissed. A box SDL cannot show (a video driver without
// message boxes) leaves its text on stderr instead and returns 0, Windows' answer for failure.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    subsetEnsureVideo();
    const SubsetWindow* ownerWindow = subsetFindWindow(owner);
    SDL_Window* parent = ownerWindow != nullptr && ownerWindow->shown ? ownerWindow->sdlWindow : nullptr;
    const SDL_MessageBoxButtonData okButton = {
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"};
    const SDL_MessageBoxData box = {
        (type & MB_ICONERROR) != 0 ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION,
        parent,
        caption != nullptr ? caption : "Error",  // Windows' caption when none is given
        text != nullptr ? text : "",
        1,
        &okButton,
        nullptr,
    };
    int pressed = 0;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        std::string line = box.message;
        while (!line.empty() && line.back() == '\n') {
            line.pop_back();
        }
        std::fprintf(stderr, "%s: %s: %s\n", subsetProgramName(), box.title, line.c_str());
        return 0;
    }
    return IDOK;
}
