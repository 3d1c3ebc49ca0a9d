#include "tools/setup-sim/InputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace lab {

bool ReadInputFile(const std::string& path, const std::string& what, std::string& text,
                   std::string& error) {
  std::error_code code;
  if (std::filesystem::is_directory(path, code)) {
    error = what + " " + path + " is a folder, not a file";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = "cannot read " + what + " " + path + ": " + std::strerror(errno);
    return false;
  }
  text.clear();
  char chunk[16384];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    text.append(chunk, got);
  }
  const bool read = std::ferror(file) == 0;
  const int cause = errno;
  std::fclose(file);
  if (!read) {
    error = "cannot read " + what + " " + path + ": " + std::strerror(cause);
  }
  return read;
}

bool CheckDiscFolder(const std::string& disc, bool& empty, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code code;
  const fs::file_status status = fs::status(disc, code);
  if (!fs::exists(status)) {
    error = code && code != std::errc::no_such_file_or_directory
                ? "cannot read the disc folder " + disc + ": " + code.message()
                : "no such folder: " + disc;
    return false;
  }
  if (!fs::is_directory(status)) {
    error = "the disc " + disc + " is a file, not a folder";
    return false;
  }
  fs::directory_iterator first(disc, code);
  if (code) {
    error = "cannot read the disc folder " + disc + ": " + code.message();
    return false;
  }
  empty = first == fs::directory_iterator();
  return true;
}

}  // namespace lab
