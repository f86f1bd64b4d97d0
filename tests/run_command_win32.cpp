#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/run_command.h"
#include "tests/test_support.h"

namespace sw::test {
namespace {

std::string quote(const std::string& s) {
  return "\"" + s + "\"";
}

}  // namespace

std::string siblingProgram(const std::string& baseName) {
  char self[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  std::string dir(self, n);
  dir = dir.substr(0, dir.rfind('\\') + 1);
  return dir + baseName + ".exe";
}

CommandResult runCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::pair<std::string, std::string>>& env,
                         const std::string& errFile) {
  TempDir dir;
  const std::string outFile = dir.text("out");
  for (const auto& [k, v] : env) _putenv((k + "=" + v).c_str());
  std::string cmd = quote(program);
  for (const std::string& a : args) cmd += " " + quote(a);
  cmd += " >" + quote(outFile) + " 2>" + quote(errFile.empty() ? "NUL" : errFile);
  // cmd.exe strips one pair of quotes around the whole line.
  CommandResult r;
  r.exitCode = std::system(quote(cmd).c_str());
  for (const auto& [k, v] : env) _putenv((k + "=").c_str());
  std::ifstream in(outFile, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  r.out = s.str();
  return r;
}

}  // namespace sw::test
