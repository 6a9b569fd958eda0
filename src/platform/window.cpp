// Window classes and windows: registration, creation with WM_CREATE delivered before
// CreateWindowExA returns, showing, placing, destroying and default message processing. Each
// window gets its SDL window only once it knows whether it needs OpenGL (see
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

// Depth buffers tried in turn when a window with OpenGL is made; the first is the format's own.
constexpr BYTE subsetDepthChoices[] = {24, 16};

std::vector<SubsetClass> subsetClasses;
std::vector<std::unique_ptr<SubsetWindow>> subsetWindows;
SubsetWindow* subsetLastShown = nullptr;

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

// Gives the SDL window the program's icon, when the window's class has it.
void subsetApplyIcon(SubsetWindow* window) {
    const SubsetIcon* icon = reinterpret_cast<const SubsetIcon*>(window->icon);
    if (icon == nullptr || icon->rgbaPixels == nullptr) {
        return;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<unsigned char*>(icon->rgbaPixels), icon->size,
                                                              icon->size, 32, icon->size * 4, SDL_PIXELFORMAT_RGBA32);
    if (surface != nullptr) {
        SDL_SetWindowIcon(window->sdlWindow, surface);
        SDL_FreeSurface(surface);
    }
}

// Makes an SDL window with OpenGL in the one pixel format with the given depth buffer, on the
// given X11 visual when there is one. X errors on the way fail it instead of ending the process.
// NOTE: SDL asks GLX for at least the depth bits it is given, and GLX then prefers the deepest
// buffer; Windows gives the format closest to the request instead. So on X11 the visual with the
// closest depth buffer is picked here and handed to SDL. The two faces of a two-sided surface
// tie in depth, and a deeper buffer than asked for breaks those ties into speckles.
SDL_Window* subsetMakeGlWindow(SubsetWindow* window, Uint32 flags, BYTE depthBits, const std::string& visual) {
    const PIXELFORMATDESCRIPTOR format = subsetDescribeFormat();
    // No profile or version attributes: a legacy context, as WGL gives.
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, format.cRedBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, format.cGreenBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, format.cBlueBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, format.cAlphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (format.dwFlags & PFD_DOUBLEBUFFER) != 0 ? 1 : 0);
    SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, visual.c_str());
    SDL_Window* made = nullptr;
    const bool clean = subsetWithoutXErrors([&] {
        made = SDL_CreateWindow(window->title.c_str(), window->x, window->y, window->width, window->height,
                                flags | SDL_WINDOW_OPENGL);
    });
    SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, "");
    if (made != nullptr && !clean) {
        SDL_DestroyWindow(made);
        return nullptr;
    }
    return made;
}

// The closest visual first where one can be picked; otherwise, or if that fails, the deeper
// depth buffer and then the smaller one, as SDL chooses them. *depthBits is what was asked for.
SDL_Window* subsetCreateGlWindow(SubsetWindow* window, Uint32 flags, BYTE* depthBits) {
    const std::string visual = *depthBits != 0 ? subsetClosestX11Visual(*depthBits) : std::string();
    if (!visual.empty()) {
        if (SDL_Window* made = subsetMakeGlWindow(window, flags, *depthBits, visual)) return made;
    }
    for (BYTE choice : subsetDepthChoices) {
        if (SDL_Window* made = subsetMakeGlWindow(window, flags, choice, std::string())) {
            *depthBits = choice;
            return made;
        }
    }
    return nullptr;
}

// Puts a newly made SDL window in place of the window's old one, if any.
void subsetAdoptSdlWindow(SubsetWindow* window, SDL_Window* made, bool withGl) {
    if (window->sdlWindow != nullptr) {
        SDL_DestroyWindow(window->sdlWindow);
    }
    window->sdlWindow = made;
    window->sdlWindowHasGl = withGl;
    window->sdlWindowId = SDL_GetWindowID(made);
    subsetApplyIcon(window);
    if (window->shown) {
        SDL_ShowWindow(made);
    }
}

// SDL flags of a window of this style, made hidden until ShowWindow.
Uint32 subsetSdlFlags(const SubsetWindow* window) {
    return SDL_WINDOW_HIDDEN | ((window->style & WS_THICKFRAME) != 0 ? SDL_WINDOW_RESIZABLE : 0);
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

SubsetWindow* subsetFindWindowBySdlId(Uint32 sdlWindowId) {
    for (const auto& live : subsetWindows) {
        if (live->sdlWindow != nullptr && live->sdlWindowId == sdlWindowId) {
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
        if (live->paintPending && live->shown && !live->minimized && subsetWindowMatches(subsetHandle(live.get()), filter)) {
            return live.get();
        }
    }
    return nullptr;
}

SubsetWindow* subsetKeyboardWindow() {
    return subsetLastShown;
}

HWND subsetHandle(SubsetWindow* window) {
    return reinterpret_cast<HWND>(window);
}

LRESULT subsetSendMessage(SubsetWindow* window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND handle = subsetHandle(window);
    if (window->windowProc == nullptr) {
        return DefWindowProcA(handle, message, wParam, lParam);
    }
    return window->windowProc(handle, message, wParam, lParam);
}

bool subsetRealiseWindow(SubsetWindow* window) {
    if (window->sdlWindow != nullptr) {
        return true;
    }
    subsetEnsureVideo();
    SDL_Window* made = SDL_CreateWindow(window->title.c_str(), window->x, window->y, window->width,
                                        window->height, subsetSdlFlags(window));
    if (made == nullptr) {
        return false;
    }
    subsetAdoptSdlWindow(window, made, false);
    return true;
}

// SDL cannot change a window's visual, so a plain window that now needs OpenGL is made again in
// the same place; the plain one goes only once the new one exists.
BYTE subsetRealiseGlWindow(SubsetWindow* window, BYTE depthBits) {
    subsetEnsureVideo();
    SDL_Window* made = subsetCreateGlWindow(window, subsetSdlFlags(window), &depthBits);
    if (made == nullptr) {
        return 0;
    }
    subsetAdoptSdlWindow(window, made, true);
    const int visualDepth = subsetX11WindowDepthBits(made);
    return visualDepth >= 0 ? static_cast<BYTE>(visualDepth) : depthBits;
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
    window->x = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : x;
    window->y = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : y;
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
        if (window->sdlWindow != nullptr) {
            SDL_HideWindow(window->sdlWindow);
        }
        window->shown = false;
        return wasVisible;
    }
    if (!subsetRealiseWindow(window)) {
        return wasVisible;
    }
    SDL_ShowWindow(window->sdlWindow);
    window->shown = true;
    subsetLastShown = window;
    if (showCommand == SW_SHOWMINIMIZED) {
        SDL_MinimizeWindow(window->sdlWindow);
    } else if (showCommand == SW_SHOWMAXIMIZED) {
        SDL_MaximizeWindow(window->sdlWindow);
    }
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

// Sends WM_DESTROY, then removes the window with its timers, queued messages and SDL window.
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
    if (window->sdlWindow != nullptr) {
        SDL_DestroyWindow(window->sdlWindow);
    }
    if (subsetLastShown == window) {
        subsetLastShown = nullptr;
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
        if (window->sdlWindow != nullptr) {
            SDL_SetWindowPosition(window->sdlWindow, x, y);
        }
    }
    cx = std::max(cx, 1);
    cy = std::max(cy, 1);
    const bool resize = (flags & SWP_NOSIZE) == 0 && (cx != window->width || cy != window->height);
    if (resize) {
        window->width = cx;
        window->height = cy;
        if (window->sdlWindow != nullptr) {
            // NOTE: window managers ignore size requests for a maximised window, while on
            // Windows SetWindowPos sizes it all the same; so it is restored first.
            if ((SDL_GetWindowFlags(window->sdlWindow) & SDL_WINDOW_MAXIMIZED) != 0) {
                SDL_RestoreWindow(window->sdlWindow);
            }
            SDL_SetWindowSize(window->sdlWindow, cx, cy);
        }
    }
    if ((flags & SWP_NOZORDER) == 0 && insertAfter == HWND_TOP && window->sdlWindow != nullptr && window->shown) {
        SDL_RaiseWindow(window->sdlWindow);
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
