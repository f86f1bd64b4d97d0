#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "tests/test_support.h"

namespace sw::test {

bool writeFile(const Text& path, std::string_view bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return close(fd) == 0 && done == bytes.size();
}

bool makeFolder(const Text& path) {
  return mkdir(path.c_str(), 0755) == 0;
}

void setLocalWriteTime(const Text& path, int year, int month, int day, int hour, int minute,
                       int second) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = std::mktime(&local);
  times[1].tv_nsec = 0;
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::string readFile(const Text& path) {
  std::string out;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return out;
  char buf[65536];
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  close(fd);
  return out;
}

}  // namespace sw::test
