#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/output_file.h"

namespace sw {

SysError writeWholeFile(const Text& path, const Bytes& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return static_cast<SysError>(errno);
  SysError error = 0;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? static_cast<SysError>(errno) : ENOSPC;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (close(fd) != 0 && error == 0) error = static_cast<SysError>(errno);
  return error;
}

Text systemErrorText(SysError error) {
  char buf[256];
  return strerror_r(static_cast<int>(error), buf, sizeof buf);
}

}  // namespace sw
