// Makes the Wine prefix that the end-to-end tests share during one run, or ends its processes:
//   e2e_wine_prefix create|end PREFIX LOG
#include <cstdio>
#include <exception>
#include <string>

#include "driver/file_lock.h"
#include "driver/wine.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s create|end PREFIX LOG\n", argv[0]);
        return 2;
    }
    const std::string action = argv[1];
    e2e::WinePrefix prefix(argv[2], argv[3]);
    if (!prefix.wineInstalled()) {
        std::printf("Wine is not installed; nothing to do\n");
        return 0;
    }
    try {
        // Another test run on the same build tree may be using the prefix right now.
        const e2e::FileLock lock(prefix.lockPath(), e2e::Millis(240000));
        if (action == "create") {
            prefix.create();
            std::printf("Wine prefix ready: %s\n", prefix.path().c_str());
        } else if (action == "end") {
            prefix.killAll();
        } else {
            std::fprintf(stderr, "unknown action \"%s\"\n", action.c_str());
            return 2;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
