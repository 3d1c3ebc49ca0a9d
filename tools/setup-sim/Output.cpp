#include "tools/setup-sim/Output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tools/setup-sim/Interruption.h"

namespace fs = std::filesystem;

namespace lab {

namespace {

bool ToStandardOutput(const std::string& path) {
  return path.empty() || path == "-";
}

// The path with every link of the part that exists resolved.
fs::path Resolved(const fs::path& path) {
  std::error_code code;
  fs::path resolved = fs::weakly_canonical(fs::absolute(path, code), code);
  return code ? fs::absolute(path, code).lexically_normal() : resolved;
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code code;
  return fs::equivalent(a, b, code) || Resolved(a) == Resolved(b);
}

// The file's permissions as a new file gets them.
mode_t NewFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int descriptor, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t written = ::write(descriptor, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

bool WriteFileWhole(const std::string& path, const std::string& text, std::string& error) {
  const fs::path target(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  int descriptor = ::mkstemp(temporary.data());
  if (descriptor < 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  TemporaryFileGuard guard(temporary);
  bool written = WriteAll(descriptor, text) && ::fchmod(descriptor, NewFileMode()) == 0 &&
                 ::fsync(descriptor) == 0;
  const int cause = errno;
  written = ::close(descriptor) == 0 && written;
  if (written && ::rename(temporary.c_str(), path.c_str()) == 0) {
    return true;
  }
  error = "cannot write the report to " + path + ": " +
          std::strerror(written ? errno : (cause != 0 ? cause : EIO));
  ::unlink(temporary.c_str());
  return false;
}

}  // namespace

bool IsInside(const std::string& path, const std::string& folder) {
  const fs::path inner = Resolved(path);
  const fs::path outer = Resolved(folder);
  auto [end, rest] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  return end == outer.end() || (std::next(end) == outer.end() && end->empty());
}

bool CheckOutput(const std::string& path, const std::vector<Input>& inputs, std::string& error) {
  if (ToStandardOutput(path)) {
    return true;
  }
  std::error_code code;
  if (fs::is_directory(path, code)) {
    error = "cannot write " + path + ": it is a folder";
    return false;
  }
  for (const Input& input : inputs) {
    if (input.path.empty()) {
      continue;
    }
    const bool folder = fs::is_directory(input.path, code);
    if (folder ? IsInside(path, input.path) : SameFile(path, input.path)) {
      error = "cannot write " + path + ": it " +
              (folder ? "lies in " + input.what + " (" + input.path + ")" : "is " + input.what) +
              ", which the command reads; write it elsewhere";
      return false;
    }
  }
  const fs::path target(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, code)) {
    error = "cannot write " + path + ": there is no folder " + folder.string();
    return false;
  }
  if (::access(folder.c_str(), W_OK) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool WriteOutput(const std::string& path, const std::string& text, std::string& error) {
  if (!ToStandardOutput(path)) {
    return WriteFileWhole(path, text, error);
  }
  errno = 0;
  bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  written = std::fflush(stdout) == 0 && written && std::ferror(stdout) == 0;
  if (!written) {
    error = "cannot write the report to standard output" +
            (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
  }
  return written;
}

}  // namespace lab
