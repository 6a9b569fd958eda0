// The process's name for the subset's lines on stderr, and the screen metrics.
#include <cstring>

#include "platform/platform_internal.h"

namespace {

std::string programName = "program";

}  // namespace

void subsetSetProgramName(const char* argv0) {
    if (argv0 == nullptr || *argv0 == '\0') {
        return;
    }
    const char* slash = std::strrchr(argv0, '/');
    programName = slash != nullptr ? slash + 1 : argv0;
}

const char* coreProgramName() { return programName.c_str(); }

// Returns the size of the primary display for SM_CXSCREEN and SM_CYSCREEN, 0 for the rest.
int WINAPI GetSystemMetrics(int index) {
    if (index != SM_CXSCREEN && index != SM_CYSCREEN) {
        return 0;
    }
    int width = 0;
    int height = 0;
    backendScreenSize(&width, &height);
    return index == SM_CXSCREEN ? width : height;
}
