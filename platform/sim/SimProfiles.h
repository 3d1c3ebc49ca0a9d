// Profile-file service of the simulated machine. Each file is parsed once and kept (the
// installers read and write the same INF files many times); every write goes straight through
// to the file, and a file changed by other means is parsed again.
//
// The families read files differently. The NT family reads a file that starts with the UTF-16
// byte order mark as Unicode, the ANSI calls converting their texts, and writes it back in
// UTF-16; a UTF-8 byte order mark it does not know (its bytes belong to the first line).
// Windows 9x reads bytes, and only the first 64 KB of a file (as 16-bit Windows did); it writes
// no value of 32 KB or more, nor into a file it cannot read whole.
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
    bool unicode = false;  // read from UTF-16: the document holds UTF-8
    bool cut = false;      // Windows 9x read only the first 64 KB of it
  };

  // A bare file name lies in the Windows folder; anything else is a path.
  std::string Locate(const std::string& file) const;
  // The parsed file, or null when it does not exist.
  Cached* Load(const std::string& fullPath);
  // A text of the ANSI call as the document holds it, and back.
  static std::string ToDocument(const Cached& file, const std::string& text);
  static std::string FromDocument(const Cached& file, const std::string& text);
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
