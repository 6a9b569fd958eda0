// SDL's modal message box with one OK button that Return and Esc also press.
#include "platform/sdl/sdl_backend.h"

bool backendMessageBox(BackendWindow* owner, const char* caption, const char* text, bool error) {
    const SDL_MessageBoxButtonData okButton = {
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"};
    // NOTE: SDL has no box without a kind; a box with no icon flag is an information box.
    const SDL_MessageBoxData box = {
        error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION,
        owner != nullptr ? owner->sdl : nullptr,
        caption,
        text,
        1,
        &okButton,
        nullptr,
    };
    int pressed = 0;
    return SDL_ShowMessageBox(&box, &pressed) == 0;
}
