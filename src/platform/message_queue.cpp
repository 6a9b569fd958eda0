// The message queue: WM_* messages in a queue of MSG records, retrieved in Windows' order
// (queued messages, then WM_QUIT, then WM_PAINT, then WM_TIMER); key-downs become WM_CHAR
// through TranslateMessage; mouse capture. The backend's input reaches it through input.cpp.
#include <iterator>

#include "platform/platform_internal.h"

namespace {

// A queued message. A key-down carries the characters its key typed, for TranslateMessage.
struct SubsetQueued {
    MSG msg;
    std::string typed;
};

std::deque<SubsetQueued> subsetQueue;
bool subsetQuitPosted = false;
int subsetQuitCode = 0;
HWND subsetCaptureWindow = nullptr;

// The last key-down taken off the queue, with the characters it typed, until it is translated.
SubsetQueued subsetLastKeyDown;
bool subsetLastKeyDownPending = false;

// Finds the next message that passes the filter, in Windows' order of retrieval, and with
// `remove` takes it. WM_PAINT stays until the window is validated.
bool subsetFindMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    for (auto queued = subsetQueue.begin(); queued != subsetQueue.end(); ++queued) {
        if (!subsetWindowMatches(queued->msg.hwnd, window) ||
            !subsetMessageInRange(queued->msg.message, filterMin, filterMax)) {
            continue;
        }
        *msg = queued->msg;
        if (remove) {
            if (queued->msg.message == WM_KEYDOWN) {
                subsetLastKeyDown = *queued;
                subsetLastKeyDownPending = true;
            }
            subsetQueue.erase(queued);
        }
        return true;
    }
    const uint64_t now = backendMilliseconds();
    if (subsetQuitPosted && subsetMessageInRange(WM_QUIT, filterMin, filterMax)) {
        *msg = MSG{nullptr,
                   WM_QUIT,
                   static_cast<WPARAM>(subsetQuitCode),
                   0,
                   static_cast<DWORD>(now),
                   subsetMousePosition()};
        if (remove) {
            subsetQuitPosted = false;
        }
        return true;
    }
    if (subsetMessageInRange(WM_PAINT, filterMin, filterMax)) {
        if (SubsetWindow* unpainted = subsetFindUnpainted(window)) {
            *msg =
                MSG{subsetHandle(unpainted), WM_PAINT, 0, 0, static_cast<DWORD>(now), subsetMousePosition()};
            return true;
        }
    }
    if (subsetTakeDueTimer(msg, window, filterMin, filterMax, remove, now)) {
        msg->pt = subsetMousePosition();
        return true;
    }
    return false;
}

}  // namespace

void subsetEnqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, uint64_t time,
                   const std::string& typed) {
    subsetQueue.push_back(SubsetQueued{
        MSG{window, message, wParam, lParam, static_cast<DWORD>(time), subsetMousePosition()}, typed});
}

bool subsetAttachTypedText(HWND window, const std::string& typed) {
    if (subsetQueue.empty()) {
        return false;
    }
    SubsetQueued& last = subsetQueue.back();
    if (last.msg.hwnd != window || last.msg.message != WM_KEYDOWN || !last.typed.empty()) {
        return false;
    }
    last.typed = typed;
    return true;
}

bool subsetMessageInRange(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

bool subsetWindowMatches(HWND target, HWND filter) { return filter == nullptr || target == filter; }

void subsetDiscardMessages(HWND window) {
    for (auto queued = subsetQueue.begin(); queued != subsetQueue.end();) {
        queued = queued->msg.hwnd == window ? subsetQueue.erase(queued) : std::next(queued);
    }
    if (subsetLastKeyDown.msg.hwnd == window) {
        subsetLastKeyDownPending = false;
    }
}

void subsetForgetCapture(HWND window) {
    if (subsetCaptureWindow == window) {
        ReleaseCapture();
    }
}

// Waits until a message is there or a timer is due; returns 0 for WM_QUIT, 1 otherwise.
BOOL WINAPI GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) {
        return -1;
    }
    for (;;) {
        backendPumpEvents();
        if (subsetFindMessage(msg, window, filterMin, filterMax, true)) {
            return msg->message == WM_QUIT ? 0 : 1;
        }
        backendWait(subsetMillisecondsToNextTimer(window, filterMin, filterMax, backendMilliseconds()));
    }
}

// Looks for a message without waiting; with PM_NOREMOVE the message stays queued.
BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (msg == nullptr) {
        return FALSE;
    }
    backendPumpEvents();
    return subsetFindMessage(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE
                                                                                                : FALSE;
}

// Queues the WM_CHAR messages of the characters the key-down last taken off the queue typed,
// ahead of everything else, so the next message retrieved is the first character.
BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP)) {
        return FALSE;
    }
    if (msg->message == WM_KEYUP) {
        return TRUE;
    }
    const MSG& last = subsetLastKeyDown.msg;
    const bool taken = subsetLastKeyDownPending && last.hwnd == msg->hwnd && last.wParam == msg->wParam &&
                       last.lParam == msg->lParam && last.time == msg->time;
    const std::string typed = taken ? subsetLastKeyDown.typed : std::string();
    subsetLastKeyDownPending = false;
    auto at = subsetQueue.begin();
    for (char character : typed) {
        MSG typedMsg = *msg;
        typedMsg.message = WM_CHAR;
        typedMsg.wParam = static_cast<unsigned char>(character);
        at = std::next(subsetQueue.insert(at, SubsetQueued{typedMsg, {}}));
    }
    return TRUE;
}

// Calls the window procedure, or the timer procedure a WM_TIMER names.
LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (msg == nullptr) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    SubsetWindow* window = subsetFindWindow(msg->hwnd);
    return window != nullptr ? subsetSendMessage(window, msg->message, msg->wParam, msg->lParam) : 0;
}

void WINAPI PostQuitMessage(int exitCode) {
    subsetQuitPosted = true;
    subsetQuitCode = exitCode;
}

// Keeps mouse messages coming to the window while a button is held outside it.
HWND WINAPI SetCapture(HWND window) {
    HWND previous = subsetCaptureWindow;
    if (SubsetWindow* capturing = subsetFindWindow(window)) {
        subsetCaptureWindow = window;
        backendCaptureMouse(capturing->native);
    }
    return previous;
}

BOOL WINAPI ReleaseCapture(void) {
    if (subsetCaptureWindow != nullptr) {
        subsetCaptureWindow = nullptr;
        backendCaptureMouse(nullptr);
    }
    return TRUE;
}
