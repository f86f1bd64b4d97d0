#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/run_command.h"
#include "tests/test_support.h"

namespace sw::test {
namespace {

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

std::string siblingProgram(const std::string& baseName) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
  dir = dir.substr(0, dir.rfind('/') + 1);
  return dir + baseName;
}

CommandResult runCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::pair<std::string, std::string>>& env,
                         const std::string& errFile) {
  TempDir dir;
  const std::string outFile = dir.text("out");
  std::string cmd = "env";
  for (const auto& [k, v] : env) cmd += " " + quote(k + "=" + v);
  cmd += " " + quote(program);
  for (const std::string& a : args) cmd += " " + quote(a);
  cmd += " >" + quote(outFile) + " 2>" + quote(errFile.empty() ? "/dev/null" : errFile);
  CommandResult r;
  const int status = std::system(cmd.c_str());
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(outFile, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  r.out = s.str();
  return r;
}

}  // namespace sw::test
