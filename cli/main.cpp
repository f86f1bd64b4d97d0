// sumwarden-cli: one run of the job over the paths on the command line, its report on stdout.
#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "cli/console.h"
#include "cli/console_window.h"
#include "engine/labels.h"
#include "engine/verify_job.h"
#include "platform/code_page.h"

namespace {

constexpr const char* kUsage =
    "usage: sumwarden-cli [--no-version] [--no-time] [--no-md5] [--no-sha1] [--no-crc32]\n"
    "                     [--lowercase] [--] PATH...\n"
    "Reports each file's name, path, size, modification time, version fields and its MD5,\n"
    "SHA-1 and CRC-32. Exit status: 0 when every file was read, 1 when some could not be\n"
    "read, 2 for a usage error.\n";

struct Flag {
  const char* name;
  sw::OptionBox box;
};
constexpr Flag kFlags[] = {
    {"--no-version", sw::OptionBox::kVersion}, {"--no-time", sw::OptionBox::kTime},
    {"--no-md5", sw::OptionBox::kMd5},         {"--no-sha1", sw::OptionBox::kSha1},
    {"--no-crc32", sw::OptionBox::kCrc32},     {"--lowercase", sw::OptionBox::kUpperCase},
};

int usageError(const char* message, const char* arg) {
  std::fprintf(stderr, "sumwarden-cli: %s%s\n%s", message, arg, kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  sw::initCodePage();
  sw::labels();
  sw::setBinaryStdout();

  std::array<bool, 6> options;
  options.fill(true);
  sw::VerifyJob job;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      job.fileList.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    bool known = false;
    for (const Flag& f : kFlags) {
      if (arg == f.name) {
        options[static_cast<size_t>(f.box) - 1] = false;
        known = true;
      }
    }
    if (!known) return usageError("unknown option ", argv[i]);
  }
  if (job.fileList.empty()) return usageError("no path given", "");

  static char reportBuffer[1 << 16];
  std::setvbuf(stdout, reportBuffer, _IOFBF, sizeof reportBuffer);
  sw::ConsoleWindow window(job, options, stdout, sw::stderrIsTerminal() ? stderr : nullptr);
  sw::StopMark stop;
  sw::runVerifyJob(job, window, stop);
  window.finish();
  return job.unreadableEntries == 0 ? 0 : 1;
}
