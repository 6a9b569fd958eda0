// The modal box: a dialog in the page, waited for while the page runs.
#include "platform/web/web_backend.h"

bool backendMessageBox(BackendWindow*, const char* caption, const char* text, bool error) {
    webShowMessageBox(caption, text, error ? 1 : 0);
    return true;
}
