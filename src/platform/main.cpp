// The process entry on non-Windows hosts: starts the backend, then calls the program's WinMain as
// Windows' start-up code does and exits with its result.
#include <cstdlib>

#include <string>

#include "platform/platform_internal.h"

namespace {

// The process instance: a handle that only has to be distinct and non-null.
char subsetInstance;

// The command line as Windows gives it to WinMain: the arguments after the program's name,
// separated by blanks, quoted where they contain one.
std::string subsetCommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!line.empty()) {
            line += ' ';
        }
        line += argument.find(' ') != std::string::npos ? '"' + argument + '"' : argument;
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    subsetSetProgramName(argc > 0 ? argv[0] : nullptr);
    backendStart();
    std::string commandLine = subsetCommandLine(argc, argv);
    // exit() rather than a return: where a backend's waits unwind the stack and wind it back later,
    // whoever called main has long had its return by the time WinMain ends.
    std::exit(
        WinMain(reinterpret_cast<HINSTANCE>(&subsetInstance), nullptr, commandLine.data(), SW_SHOWDEFAULT));
}
