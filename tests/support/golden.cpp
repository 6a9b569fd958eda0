#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

void expectGolden(const std::string& file, const std::string& text) {
    const std::string path = std::string(HELICOID_TEST_DATA) + "/" + file;
    if (std::getenv("HELICOID_UPDATE_TRACE") != nullptr) {
        std::ofstream(path) << text;
        GTEST_SKIP() << "wrote " << path;
    }
    std::ifstream in(path);
    EXPECT_EQ(text, std::string(std::istreambuf_iterator<char>(in), {})) << "the run differs from " << path;
}
