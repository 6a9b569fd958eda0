// Touch and pen as Windows gives them to a mouse program: the first contact is the left button
// (others are ignored while it is down); one that ends within the tap distance of where it began is
// a press and a release at that point, a click; a cancelled one is a release where it was last.
#include <cmath>

#include "platform/web/web_backend.h"

namespace {

// How far (in CSS pixels) a fingertip may wander and still tap.
constexpr double webTapDistance = 10;

enum WebPhase { webDown, webMove, webUp, webCancel };

struct WebContact {
    bool down = false;
    int id = 0;
    double startX = 0, startY = 0;  // where it began
    double lastX = 0, lastY = 0;    // where it was last given to the program
    bool dragging = false;          // gone beyond the tap distance
};

WebContact webContact;

void webTouchMove(double clientX, double clientY) {
    if (!webContact.dragging &&
        std::hypot(clientX - webContact.startX, clientY - webContact.startY) <= webTapDistance) {
        return;
    }
    webContact.dragging = true;
    webContact.lastX = clientX;
    webContact.lastY = clientY;
    webGiveMouse(WM_MOUSEMOVE, true, clientX, clientY);
}

}  // namespace

bool webTouchInput(int phase, int id, double clientX, double clientY) {
    if (phase == webDown) {
        if (webContact.down || !webGiveMouse(WM_LBUTTONDOWN, true, clientX, clientY)) return false;
        webContact = WebContact{true, id, clientX, clientY, clientX, clientY, false};
        return true;
    }
    if (!webContact.down || id != webContact.id) return false;
    if (phase == webMove) {
        webTouchMove(clientX, clientY);
        return true;
    }
    if (phase == webUp && webContact.dragging) {
        webContact.lastX = clientX;
        webContact.lastY = clientY;
    }
    webContact.down = false;
    webGiveMouse(WM_LBUTTONUP, false, webContact.lastX, webContact.lastY);
    return true;
}
