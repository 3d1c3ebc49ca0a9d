// Profile-file service of the simulated machine. Each file is parsed once and kept (the
// installers read and write the same INF files many times); every write goes straight through
// to the file, and a file changed by other means is parsed again.
#pragma once

#include <map>
#include <memory>

#include "platform/Profiles.h"
#include "platform/sim/ProfileDocument.h"
#include "platform/sim/SimCore.h"
#include "platform/sim/SimFileSystem.h"

namespace sim {

class SimProfiles : public platform::Profiles {
 public:
  SimProfiles(SimCore& core, SimFileSystem& files);

  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultText, std::uint32_t capacity,
                        const std::string& file) override;
  std::uint32_t GetInt(const std::string& section, const std::string& key,
                       std::int32_t defaultValue, const std::string& file) override;
  bool WriteString(const std::string& section, const std::optional<std::string>& key,
                   const std::optional<std::string>& value, const std::string& file) override;

  std::size_t ParseCount() const { return parses_; }

 private:
  struct Cached {
    const FileNode* node = nullptr;
    std::uint64_t generation = 0;
    std::unique_ptr<ProfileDocument> document;
  };

  // A bare file name lies in the Windows folder; anything else is a path.
  std::string Locate(const std::string& file) const;
  // The parsed file, or null when it does not exist.
  ProfileDocument* Load(const std::string& fullPath);
  std::optional<std::string> Read(const std::string& section, const std::string& key,
                                  const std::string& file);
  bool Write(const std::string& section, const std::optional<std::string>& key,
             const std::optional<std::string>& value, const std::string& file);

  SimCore& core_;
  SimFileSystem& files_;
  std::map<std::string, Cached> cache_;  // by upper-cased full path
  std::size_t parses_ = 0;
};

}  // namespace sim
