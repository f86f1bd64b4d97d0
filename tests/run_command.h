// Runs a program the way a user's shell would, for end-to-end tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sw::test {

struct CommandResult {
  int exitCode = -1;
  std::string out;  // stdout, byte for byte
};

// The path of a program built beside the running test binary ("sumwarden-cli" gives
// .../bin/sumwarden-cli, or sumwarden-cli.exe on Windows).
std::string siblingProgram(const std::string& baseName);

// Runs program with arguments (each quoted for the platform's shell), with extra environment
// variables, and captures stdout; stderr goes to errFile when given, else is discarded.
CommandResult runCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::pair<std::string, std::string>>& env = {},
                         const std::string& errFile = "");

}  // namespace sw::test
