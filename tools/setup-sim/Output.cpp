#include "tools/setup-sim/Output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace lab {

namespace {

bool ToStandardOutput(const std::string& path) {
  return path.empty() || path == "-";
}

}  // namespace

bool CheckOutput(const std::string& path, std::string& error) {
  if (ToStandardOutput(path)) {
    return true;
  }
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (file == nullptr) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  std::fclose(file);
  return true;
}

bool WriteOutput(const std::string& path, const std::string& text, std::string& error) {
  const bool console = ToStandardOutput(path);
  std::FILE* file = console ? stdout : std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  errno = 0;
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  written = std::fflush(file) == 0 && written && std::ferror(file) == 0;
  const int cause = errno;
  if (!console) {
    written = std::fclose(file) == 0 && written;
  }
  if (!written) {
    error = "cannot write the report to " + (console ? std::string("standard output") : path) +
            (cause != 0 ? std::string(": ") + std::strerror(cause) : std::string());
  }
  return written;
}

}  // namespace lab
