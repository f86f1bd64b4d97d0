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
