// Golden texts: what a run wrote, compared as one text with a file in tests/data, so that a
// difference shows as a diff of the lines around it; HELICOID_UPDATE_TRACE=1 writes the files anew.
#pragma once

#include <string>

void expectGolden(const std::string& file, const std::string& text);
