// What the lab tool's tests share: the sample disc and machines, temporary folders, and the
// product's own commands for the runs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "install/SetupCommands.h"
#include "tools/setup-sim/RunReport.h"

namespace labtest {

namespace fs = std::filesystem;

inline const fs::path kExamples = fs::path(ORV_SOURCE_DIR) / "examples";

inline lab::CommandsFactory ProductCommands() {
  return [](sim::SimMachine&) { return std::make_unique<install::SetupCommands>(); };
}

inline std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

inline void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// A folder of its own for each test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() /
            ("orv-lab-" + std::string(test->test_suite_name()) + "-" + test->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace labtest
