#include <cstdio>
#include <vector>

#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

namespace win32 {

namespace {

std::uint32_t CopyOut(DWORD length, const std::vector<char>& buffer, std::uint32_t capacity,
                      std::string& result) {
  if (length != 0 && length < capacity) {
    result.assign(buffer.data(), length);
  }
  return length;
}

platform::FindData Describe(const WIN32_FIND_DATAA& data) {
  platform::FindData result;
  result.fileName = data.cFileName;
  result.alternateFileName = data.cAlternateFileName;
  result.attributes = data.dwFileAttributes;
  result.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return result;
}

class Win32Stream : public platform::Stream {
 public:
  explicit Win32Stream(FILE* file) : file_(file) {}
  ~Win32Stream() override { std::fclose(file_); }

  std::optional<std::string> GetLine(std::uint32_t capacity) override {
    if (capacity == 0 || capacity > 0x7FFFFFFF) {
      return std::nullopt;
    }
    // fgets, character by character, so that a zero byte in a line is kept with the rest.
    std::string line;
    while (line.size() + 1 < capacity) {
      int c = std::fgetc(file_);
      if (c == EOF) {
        break;
      }
      line += static_cast<char>(c);
      if (c == '\n') {
        break;
      }
    }
    if (line.empty() && capacity > 1) {
      return std::nullopt;
    }
    return line;
  }
  std::vector<std::uint8_t> Read(std::size_t count) override {
    std::vector<std::uint8_t> bytes(count);
    bytes.resize(std::fread(bytes.data(), 1, count, file_));
    return bytes;
  }
  std::size_t Write(const void* data, std::size_t size) override {
    return std::fwrite(data, 1, size, file_);
  }
  bool Seek(std::int64_t offset, platform::SeekOrigin origin) override {
    int whence = origin == platform::SeekOrigin::Begin     ? SEEK_SET
                 : origin == platform::SeekOrigin::Current ? SEEK_CUR
                                                           : SEEK_END;
    return std::fseek(file_, static_cast<long>(offset), whence) == 0;
  }
  std::int64_t Tell() override { return std::ftell(file_); }
  bool Flush() override { return std::fflush(file_) == 0; }

 private:
  FILE* file_;
};

}  // namespace

bool Win32Files::CopyFile(const std::string& source, const std::string& target, bool failIfExists) {
  return ::CopyFileA(source.c_str(), target.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32Files::DeleteFile(const std::string& path) {
  return ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32Files::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return ::SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

std::uint32_t Win32Files::GetAttributes(const std::string& path) {
  return ::GetFileAttributesA(path.c_str());
}

bool Win32Files::CreateFolder(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32Files::SetCurrentFolder(const std::string& path) {
  return ::SetCurrentDirectoryA(path.c_str()) != FALSE;
}

std::uint32_t Win32Files::GetCurrentFolder(std::uint32_t capacity, std::string& result) {
  std::vector<char> buffer(capacity > 0 ? capacity : 1);
  return CopyOut(::GetCurrentDirectoryA(capacity, buffer.data()), buffer, capacity, result);
}

std::uint32_t Win32Files::GetWindowsFolder(std::uint32_t capacity, std::string& result) {
  std::vector<char> buffer(capacity > 0 ? capacity : 1);
  return CopyOut(::GetWindowsDirectoryA(buffer.data(), capacity), buffer, capacity, result);
}

std::uint32_t Win32Files::GetShortPath(const std::string& longPath, std::uint32_t capacity,
                                       std::string& result) {
  std::vector<char> buffer(capacity > 0 ? capacity : 1);
  return CopyOut(::GetShortPathNameA(longPath.c_str(), buffer.data(), capacity), buffer, capacity,
                 result);
}

std::uint32_t Win32Files::GetFullPath(const std::string& path, std::uint32_t capacity,
                                      std::string& result) {
  std::vector<char> buffer(capacity > 0 ? capacity : 1);
  return CopyOut(::GetFullPathNameA(path.c_str(), capacity, buffer.data(), nullptr), buffer,
                 capacity, result);
}

bool Win32Files::MoveFile(const std::string& source, const std::optional<std::string>& target,
                          std::uint32_t flags) {
  return ::MoveFileExA(source.c_str(), target ? target->c_str() : nullptr, flags) != FALSE;
}

platform::FindHandle Win32Files::FindFirst(const std::string& pattern, platform::FindData& result) {
  WIN32_FIND_DATAA data{};
  HANDLE handle = ::FindFirstFileA(pattern.c_str(), &data);
  if (handle == INVALID_HANDLE_VALUE) {
    return {};
  }
  result = Describe(data);
  return platform::FindHandle{reinterpret_cast<std::uintptr_t>(handle)};
}

bool Win32Files::FindNext(platform::FindHandle handle, platform::FindData& result) {
  WIN32_FIND_DATAA data{};
  if (!::FindNextFileA(reinterpret_cast<HANDLE>(handle.value), &data)) {
    return false;
  }
  result = Describe(data);
  return true;
}

void Win32Files::FindClose(platform::FindHandle handle) {
  ::FindClose(reinterpret_cast<HANDLE>(handle.value));
}

std::unique_ptr<platform::Stream> Win32Files::OpenStream(const std::string& path,
                                                         const std::string& mode) {
  FILE* file = std::fopen(path.c_str(), mode.c_str());
  if (file == nullptr) {
    return nullptr;
  }
  return std::make_unique<Win32Stream>(file);
}

}  // namespace win32
