// Starts programs side by side and waits for all of them.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// A program beside the running test program ("name" or "name.exe").
std::string siblingProgram(const char* name);
// Exit codes in order; -1 for a program that could not be started.
std::vector<int> runTogether(const std::vector<std::vector<std::string>>& commands);

}  // namespace testing_support
