// Files and folders: CopyFileA, DeleteFileA, SetFileAttributesA, GetFileAttributesA,
// CreateDirectoryA, SetCurrentDirectoryA, GetCurrentDirectoryA, GetWindowsDirectoryA,
// GetShortPathNameA, GetFullPathNameA, MoveFileExA, FindFirstFileA / FindNextFileA / FindClose, and
// the C runtime's buffered streams (fopen and friends).
//
// Calls that return bool leave the reason for a failure in System::GetLastError.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Handle.h"

namespace platform {

struct FindData {
  std::string fileName;
  std::string alternateFileName;  // the 8.3 name when it differs from fileName, else empty
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
};

enum class SeekOrigin { Begin, Current, End };

// A stream opened by Files::OpenStream; closed when destroyed. Text mode ("r", "r+") reads
// CR LF as one newline and writes a newline as CR LF; positions always count real bytes.
class Stream {
 public:
  virtual ~Stream() = default;
  // fgets: at most `capacity` - 1 characters, up to and including a newline; nothing at the end.
  virtual std::optional<std::string> GetLine(std::uint32_t capacity) = 0;
  virtual std::vector<std::uint8_t> Read(std::size_t count) = 0;      // fread
  virtual std::size_t Write(const void* data, std::size_t size) = 0;  // fwrite
  virtual bool Seek(std::int64_t offset, SeekOrigin origin) = 0;      // fseek; true on success
  virtual std::int64_t Tell() = 0;                                    // ftell
  virtual bool Flush() = 0;                                           // fflush
};

class Files {
 public:
  virtual ~Files() = default;

  virtual bool CopyFile(const std::string& source, const std::string& target,
                        bool failIfExists) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
  virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // win::INVALID_FILE_ATTRIBUTES when the path does not exist.
  virtual std::uint32_t GetAttributes(const std::string& path) = 0;
  virtual bool CreateFolder(const std::string& path) = 0;
  // Also the folder-existence test of the launcher: success changes the current directory.
  virtual bool SetCurrentFolder(const std::string& path) = 0;
  // These four follow the Win32 buffer rule: they return the length copied (without the
  // terminating zero), or, when `capacity` is too small, the size needed (with it) and leave
  // `result` untouched; 0 on failure.
  virtual std::uint32_t GetCurrentFolder(std::uint32_t capacity, std::string& result) = 0;
  virtual std::uint32_t GetWindowsFolder(std::uint32_t capacity, std::string& result) = 0;
  virtual std::uint32_t GetShortPath(const std::string& longPath, std::uint32_t capacity,
                                     std::string& result) = 0;
  // GetFullPathNameA: the path completed against the current directory (a drive-relative path
  // against the current directory when it is on that drive), "." and ".." taken out. The file
  // need not exist.
  virtual std::uint32_t GetFullPath(const std::string& path, std::uint32_t capacity,
                                    std::string& result) = 0;
  // MoveFileExA; no target with MOVEFILE_DELAY_UNTIL_REBOOT deletes the source at the next start.
  virtual bool MoveFile(const std::string& source, const std::optional<std::string>& target,
                        std::uint32_t flags) = 0;
  // A null handle when nothing matches (GetLastError tells why).
  virtual FindHandle FindFirst(const std::string& pattern, FindData& result) = 0;
  virtual bool FindNext(FindHandle handle, FindData& result) = 0;
  virtual void FindClose(FindHandle handle) = 0;
  // fopen with the C runtime's mode string; null when the file cannot be opened.
  virtual std::unique_ptr<Stream> OpenStream(const std::string& path, const std::string& mode) = 0;
};

}  // namespace platform
