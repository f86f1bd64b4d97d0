#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/input_file.h"

namespace sw {
namespace {

// Below this size, telling the kernel that the file will be read in order is not worth a call.
constexpr off_t kReadAheadWorthIt = 1 << 20;

}  // namespace

SysError InputFile::openFile(const Text& path) {
  close();
  if (path.empty()) return ENOENT;
  // O_NONBLOCK keeps a FIFO from blocking the open; such files are refused below, and on the
  // regular files and block devices that are kept it changes nothing.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return static_cast<SysError>(errno);
  struct stat st;
  SysError error = 0;
  if (fstat(fd, &st) != 0) {
    error = static_cast<SysError>(errno);
  } else if (S_ISDIR(st.st_mode)) {
    error = EISDIR;
  } else if (!S_ISREG(st.st_mode) && !S_ISBLK(st.st_mode)) {
    error = EINVAL;  // a pipe or a character device has no end to read to
  }
  if (error != 0) {
    ::close(fd);
    return error;
  }
  if (st.st_size >= kReadAheadWorthIt) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  handle_ = fd;
  regular_ = S_ISREG(st.st_mode);
  return 0;
}

bool InputFile::isOpen() const {
  return handle_ >= 0;
}

InputFile::ReadResult InputFile::readFile(uint8_t* buffer, size_t n) {
  ReadResult r;
  if (handle_ < 0) {
    r.error = EBADF;
    return r;
  }
  while (r.count < n) {
    const ssize_t got = ::read(static_cast<int>(handle_), buffer + r.count, n - r.count);
    if (got > 0) {
      r.count += static_cast<size_t>(got);
      // A regular file gives fewer bytes than asked only at its end (as it stands now).
      if (regular_ && r.count < n) break;
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      r.error = static_cast<SysError>(errno);
      break;
    }
  }
  return r;
}

bool InputFile::readAt(uint64_t offset, void* buffer, size_t n) {
  if (handle_ < 0) return false;
  size_t done = 0;
  while (done < n) {
    const ssize_t got = pread(static_cast<int>(handle_), static_cast<char*>(buffer) + done,
                              n - done, static_cast<off_t>(offset + done));
    if (got > 0) {
      done += static_cast<size_t>(got);
    } else if (got == 0 || errno != EINTR) {
      return false;
    }
  }
  return true;
}

uint64_t InputFile::size() const {
  struct stat st;
  if (handle_ < 0 || fstat(static_cast<int>(handle_), &st) != 0) return 0;
  return static_cast<uint64_t>(st.st_size);
}

void InputFile::close() {
  if (handle_ >= 0) {
    ::close(static_cast<int>(handle_));
    handle_ = -1;
  }
}

}  // namespace sw
