#pragma once
// The subcommands of show-assets. Each takes the arguments after its own name and returns the
// process's exit status.
//
// To add a subcommand: write `int runName(const std::vector<std::string>& args)` in a file of its
// own (Name.cpp, added to CMakeLists.txt), declare it here, and add one line to the table in
// main.cpp.
#include <string>
#include <vector>

int runGenerate(const std::vector<std::string>& args); // Generate.cpp
int runCheck(const std::vector<std::string>& args);    // Check.cpp
int runSheet(const std::vector<std::string>& args);    // Sheet.cpp
int runInspect(const std::vector<std::string>& args);  // OnePicture.cpp
