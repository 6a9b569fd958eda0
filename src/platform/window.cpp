// Window classes and windows: registration, creation with WM_CREATE delivered before
// CreateWindowExA returns, showing, placing, destroying and default message processing. Each
// window gets its native window only once it knows whether it needs OpenGL (see
// platform_internal.h).
#include <strings.h>

#include <algorithm>
#include <iterator>

#include "platform/platform_internal.h"

namespace {

struct SubsetClass {
    std::string name;
    WNDCLASSA wndClass;
};

// Atoms of registered classes start where Windows' string atoms do.
constexpr WORD subsetFirstClassAtom = 0xC000;

// Names at or below this value are atoms (MAKEINTATOM), not pointers.
constexpr uintptr_t subsetLargestAtom = 0xFFFF;

// Window size for CW_USEDEFAULT, which Windows leaves to the system.
constexpr int subsetDefaultWidth = 640;
constexpr int subsetDefaultHeight = 480;

std::vector<SubsetClass> subsetClasses;
std::vector<std::unique_ptr<SubsetWindow>> subsetWindows;

// Finds a class by name. An atom in place of a name finds none.
const SubsetClass* subsetFindClass(LPCSTR className) {
    if (reinterpret_cast<uintptr_t>(className) <= subsetLargestAtom) {
        return nullptr;
    }
    for (const SubsetClass& registered : subsetClasses) {
        if (strcasecmp(registered.name.c_str(), className) == 0) {  // class names ignore case
            return &registered;
        }
    }
    return nullptr;
}

// What the window's native window is made with.
BackendWindowSettings subsetSettings(SubsetWindow* window) {
    const SubsetIcon* icon = reinterpret_cast<const SubsetIcon*>(window->icon);
    const bool hasPixels = icon != nullptr && icon->rgbaPixels != nullptr;
    return BackendWindowSettings{subsetHandle(window),
                                 window->title.c_str(),
                                 window->placed,
                                 window->x,
                                 window->y,
                                 window->width,
                                 window->height,
                                 (window->style & WS_THICKFRAME) != 0,
                                 hasPixels ? icon->rgbaPixels : nullptr,
                                 hasPixels ? icon->size : 0};
}

// Puts a newly made native window in place of the window's old one, if any.
void subsetAdoptNative(SubsetWindow* window, BackendWindow* made, bool withGl) {
    if (window->native != nullptr) {
        backendDestroyWindow(window->native);
    }
    window->native = made;
    window->nativeHasGl = withGl;
    if (window->shown) {
        backendShowWindow(made, BackendShow::show);
    }
}

}  // namespace

SubsetWindow* subsetFindWindow(HWND window) {
    for (const auto& live : subsetWindows) {
        if (subsetHandle(live.get()) == window) {
            return live.get();
        }
    }
    return nullptr;
}

SubsetWindow* subsetFindWindowByDeviceContext(HDC dc) {
    for (const auto& live : subsetWindows) {
        if (reinterpret_cast<HDC>(&live->deviceContext) == dc) {
            return live.get();
        }
    }
    return nullptr;
}

SubsetWindow* subsetFindUnpainted(HWND filter) {
    for (const auto& live : subsetWindows) {
        if (live->paintPending && live->shown && !live->minimized &&
            subsetWindowMatches(subsetHandle(live.get()), filter)) {
            return live.get();
        }
    }
    return nullptr;
}

HWND subsetHandle(SubsetWindow* window) { return reinterpret_cast<HWND>(window); }

LRESULT subsetSendMessage(SubsetWindow* window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND handle = subsetHandle(window);
    if (window->windowProc == nullptr) {
        return DefWindowProcA(handle, message, wParam, lParam);
    }
    return window->windowProc(handle, message, wParam, lParam);
}

bool subsetRealiseWindow(SubsetWindow* window) {
    if (window->native != nullptr) {
        return true;
    }
    BackendWindow* made = backendCreateWindow(subsetSettings(window));
    if (made == nullptr) {
        return false;
    }
    subsetAdoptNative(window, made, false);
    return true;
}

// A native window's visual is fixed when it is made, so a plain window that now needs OpenGL is
// made again in the same place; the plain one goes only once the new one exists.
BYTE subsetRealiseGlWindow(SubsetWindow* window, BYTE depthBits) {
    int got = 0;
    BackendWindow* made = backendCreateGlWindow(subsetSettings(window), depthBits, &got);
    if (made == nullptr) {
        return 0;
    }
    subsetAdoptNative(window, made, true);
    return static_cast<BYTE>(got);
}

WORD WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
    if (wndClass == nullptr || wndClass->lpszClassName == nullptr ||
        reinterpret_cast<uintptr_t>(wndClass->lpszClassName) <= subsetLargestAtom ||
        subsetFindClass(wndClass->lpszClassName) != nullptr) {
        return 0;
    }
    subsetClasses.push_back(SubsetClass{wndClass->lpszClassName, *wndClass});
    subsetClasses.back().wndClass.lpszClassName = subsetClasses.back().name.c_str();
    return static_cast<WORD>(subsetFirstClassAtom + subsetClasses.size() - 1);
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND, HMENU, HINSTANCE, LPVOID) {
    const SubsetClass* windowClass = subsetFindClass(className);
    if (windowClass == nullptr) {
        return nullptr;
    }
    auto record = std::make_unique<SubsetWindow>();
    SubsetWindow* window = record.get();
    window->windowProc = windowClass->wndClass.lpfnWndProc;
    window->icon = windowClass->wndClass.hIcon;
    window->title = windowName != nullptr ? windowName : "";
    window->style = style;
    // As on Windows, y is read only when x is given, and height only when width is.
    window->placed = x != CW_USEDEFAULT;
    window->x = window->placed ? x : 0;
    window->y = window->placed ? y : 0;
    window->width = width == CW_USEDEFAULT ? subsetDefaultWidth : std::max(width, 1);
    window->height = width == CW_USEDEFAULT ? subsetDefaultHeight : std::max(height, 1);
    window->deviceContext.window = window;
    subsetWindows.push_back(std::move(record));

    HWND handle = subsetHandle(window);
    if (subsetSendMessage(window, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (subsetFindWindow(handle) == nullptr) {  // destroyed while being created
        return nullptr;
    }
    // Windows follows WM_CREATE with the window's first size.
    window->reportedWidth = window->width;
    window->reportedHeight = window->height;
    subsetSendMessage(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(window->width, window->height));
    if ((style & WS_VISIBLE) != 0 && subsetFindWindow(handle) != nullptr) {
        ShowWindow(handle, SW_SHOW);
    }
    return subsetFindWindow(handle) != nullptr ? handle : nullptr;
}

// Shows or hides the window; a newly shown window needs painting. Returns whether it was visible.
BOOL WINAPI ShowWindow(HWND handle, int showCommand) {
    SubsetWindow* window = subsetFindWindow(handle);
    if (window == nullptr) {
        return FALSE;
    }
    const BOOL wasVisible = window->shown ? TRUE : FALSE;
    if (showCommand == SW_HIDE) {
        if (window->native != nullptr) {
            backendShowWindow(window->native, BackendShow::hide);
        }
        window->shown = false;
        return wasVisible;
    }
    if (!subsetRealiseWindow(window)) {
        return wasVisible;
    }
    window->shown = true;
    backendShowWindow(window->native, showCommand == SW_SHOWMINIMIZED   ? BackendShow::minimize
                                      : showCommand == SW_SHOWMAXIMIZED ? BackendShow::maximize
                                                                        : BackendShow::show);
    if (!wasVisible) {
        window->paintPending = true;
    }
    return wasVisible;
}

// Delivers a pending WM_PAINT straight to the window procedure.
BOOL WINAPI UpdateWindow(HWND handle) {
    SubsetWindow* window = subsetFindWindow(handle);
    if (window == nullptr) {
        return FALSE;
    }
    if (window->paintPending && window->shown && !window->minimized) {
        subsetSendMessage(window, WM_PAINT, 0, 0);
    }
    return TRUE;
}

// Sends WM_DESTROY, then removes the window with its timers, queued messages and native window.
BOOL WINAPI DestroyWindow(HWND handle) {
    SubsetWindow* window = subsetFindWindow(handle);
    if (window == nullptr || window->destroying) {
        return FALSE;
    }
    window->destroying = true;
    subsetSendMessage(window, WM_DESTROY, 0, 0);
    subsetKillWindowTimers(handle);
    subsetDiscardMessages(handle);
    subsetForgetCapture(handle);
    if (window->native != nullptr) {
        backendDestroyWindow(window->native);
    }
    subsetWindows.erase(std::find_if(subsetWindows.begin(), subsetWindows.end(),
                                     [window](const auto& live) { return live.get() == window; }));
    return TRUE;
}

// Default processing: closing destroys the window, painting validates it, the rest is ignored.
LRESULT WINAPI DefWindowProcA(HWND handle, UINT message, WPARAM, LPARAM) {
    SubsetWindow* window = subsetFindWindow(handle);
    if (window == nullptr) {
        return 0;
    }
    if (message == WM_CLOSE) {
        DestroyWindow(handle);
    } else if (message == WM_PAINT) {
        window->paintPending = false;
    }
    return 0;
}

// Moves, sizes and raises the window. A change of size reaches the window procedure as WM_SIZE
// before this returns, as on Windows.
BOOL WINAPI SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    SubsetWindow* window = subsetFindWindow(handle);
    if (window == nullptr) {
        return FALSE;
    }
    if ((flags & SWP_NOMOVE) == 0) {
        window->x = x;
        window->y = y;
        if (window->native != nullptr) {
            backendMoveWindow(window->native, x, y);
        }
    }
    cx = std::max(cx, 1);
    cy = std::max(cy, 1);
    const bool resize = (flags & SWP_NOSIZE) == 0 && (cx != window->width || cy != window->height);
    if (resize) {
        window->width = cx;
        window->height = cy;
        if (window->native != nullptr) {
            backendSizeWindow(window->native, cx, cy);  // a maximised one is restored first
        }
    }
    if ((flags & SWP_NOZORDER) == 0 && insertAfter == HWND_TOP && window->native != nullptr &&
        window->shown) {
        backendRaiseWindow(window->native);
    }
    if (resize && !window->minimized) {
        window->reportedWidth = cx;
        window->reportedHeight = cy;
        subsetSendMessage(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cx, cy));
    }
    return TRUE;
}

HWND WINAPI WindowFromDC(HDC dc) {
    SubsetWindow* window = subsetFindWindowByDeviceContext(dc);
    return window != nullptr ? subsetHandle(window) : nullptr;
}
