// The keyboard commands: quit, fog, wireframe and the stepValue steps. The repeat count in
// lParam is not looked at, so each character message runs its command once.
#include "app/keyboard.h"

#include "scene/redraw.h"
#include "scene/viewer_state.h"

namespace {

const WPARAM escapeKey = 27;

const double stepSize = 0.05;
const float stepMaximum = 1.05f;
const float stepMinimum = 0.01f;

// The sum is formed in double and tested against the float bounds before it is rounded to
// float, so the bound itself is stored exactly when it is reached.
void stepUp() {
    const double sum = double(stepValue) + stepSize;
    stepValue = sum >= double(stepMaximum) ? stepMaximum : float(sum);
}

void stepDown() {
    const double difference = double(stepValue) - stepSize;
    stepValue = difference <= double(stepMinimum) ? stepMinimum : float(difference);
}

}  // namespace

LRESULT handleCharacter(HWND window, WPARAM character, LPARAM lParam) {
    switch (character) {
    case escapeKey:
        DestroyWindow(window);
        return 0;
    case 'f':
        toggleFlag(fogEnabled);
        requestRedraw();
        return 0;
    case 'p':
        toggleFlag(wireframe);
        requestRedraw();
        return 0;
    case 'j':
        stepUp();
        requestRedraw();
        return 0;
    case 'k':
        stepDown();
        requestRedraw();
        return 0;
    default:
        return DefWindowProcA(window, WM_CHAR, character, lParam);
    }
}
