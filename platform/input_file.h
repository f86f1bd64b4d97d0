// A file opened for reading only, without denying other programs reading or writing it.
// One RAII owner of the OS handle; movable, not copyable; used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/text.h"

namespace sw {

// An OS error code (errno on POSIX, GetLastError on Windows); 0 means none.
using SysError = uint32_t;

// Faults that tests can make happen in files that are otherwise fine: an open refused as a
// permission or another program's lock would refuse it, a read failing as a bad sector or a lost
// network drive would. Installed for a test's duration; nothing is installed in the program.
class FileFaultHook {
 public:
  virtual ~FileFaultHook() = default;
  // Non-zero: the open of path fails with this error.
  virtual SysError openFault(const Text& path) = 0;
  // Non-zero: the read of path at this position fails with this error.
  virtual SysError readFault(const Text& path, uint64_t position) = 0;
};

// Installs a hook (null removes it). Not to be changed while files are being read.
void installFileFaultHook(FileFaultHook* hook);

class InputFile {
 public:
  InputFile() = default;
  ~InputFile() { close(); }
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens path; on failure the file stays closed and the reason is returned. A folder does not
  // open.
  SysError open(const Text& path);
  bool isOpen() const;

  struct ReadResult {
    size_t count = 0;    // bytes read; fewer than asked only at the end of the file or on error
    SysError error = 0;  // set when a read failed; count holds what was read before
  };
  // Reads up to n bytes from the current position, filling as much as the file has.
  ReadResult read(uint8_t* buffer, size_t n);

  // Reads n bytes at offset without moving the position; false when they cannot all be read.
  bool readAt(uint64_t offset, void* buffer, size_t n);

  // The size of the open file (0 when closed or unknown).
  uint64_t size() const;

  void close();

 private:
  SysError openFile(const Text& path);
  ReadResult readFile(uint8_t* buffer, size_t n);

  intptr_t handle_ = -1;   // fd on POSIX, HANDLE on Windows; -1 when closed
  bool regular_ = false;   // a regular file, whose short read marks its end
  uint64_t position_ = 0;  // bytes read so far
  Text faultPath_;         // kept only while a fault hook is installed
};

}  // namespace sw
