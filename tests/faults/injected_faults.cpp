// Fault injection for the test build of the program: the Win32 calls named in HELICOID_FAULTS
// (comma-separated, e.g. "ChoosePixelFormat,wglCreateContext") fail, and every message box is
// reported on stderr as "box: CAPTION: TEXT" so a test can tell which box the program showed.
#include "platform/platform_internal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

bool subsetFaultInjected(const char* call) {
    const char* faults = std::getenv("HELICOID_FAULTS");
    if (faults == nullptr) return false;
    const std::string list = std::string(",") + faults + ",";
    return list.find(std::string(",") + call + ",") != std::string::npos;
}

void subsetTraceMessageBox(const char* caption, const char* text) {
    std::string shown = text != nullptr ? text : "";
    for (size_t at = shown.find('\n'); at != std::string::npos; at = shown.find('\n', at)) shown.replace(at, 1, "\\n");
    std::fprintf(stderr, "box: %s: %s\n", caption != nullptr ? caption : "", shown.c_str());
    std::fflush(stderr);
}
