// The simulated registry: a tree of keys whose names are case-insensitive and keep their case,
// with typed values in the order they were created. HKEY_CURRENT_USER is a view of one key of
// HKEY_USERS and HKEY_CLASSES_ROOT a view of HKEY_LOCAL_MACHINE\SOFTWARE\Classes, as on Windows.
// Access rights are enforced on the NT family only; Windows 9x ignores them. Subkeys are
// enumerated as each family keeps them: the NT family in the order of their upper-cased names
// (its hives index subkeys so), Windows 9x in the order they were made.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"
#include "platform/sim/PowerLoss.h"
#include "platform/sim/SimCore.h"

namespace sim {

struct RegValue {
  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

struct RegNode {
  std::string name;
  std::uint64_t made = 0;  // when the key was made, counted by its registry
  std::map<std::string, std::shared_ptr<RegNode>> children;  // by upper-cased name
  std::vector<RegValue> values;                              // in creation order
  bool deleted = false;

  RegValue* FindValue(const std::string& valueName);
  RegNode* FindChild(const std::string& childName) const;
};

// A REGEDIT4 file's pieces read back: a quoted name or string starting at text[0] (`end`
// receives the index after its closing quote), and one value's data as the file writes it
// ("text", dword:, hex:, hex(N):).
bool ParseRegFileQuoted(std::string_view text, std::string& result, std::size_t& end);
bool ParseRegFileData(std::string_view text, std::uint32_t& type, std::vector<std::uint8_t>& data);

class SimRegistry : public platform::Registry {
 public:
  explicit SimRegistry(SimCore& core);

  // The subkey of HKEY_USERS that HKEY_CURRENT_USER shows (".DEFAULT" on a Windows 9x machine
  // without user profiles). Another on Windows 9x turns user profiles on: HKEY_LOCAL_MACHINE
  // "Network\Logon" "UserProfiles" = 1, the user in the profile list.
  void SetCurrentUser(const std::string& userKey);
  // The key of HKEY_USERS that HKEY_CURRENT_USER is.
  const std::string& CurrentUser() const { return currentUser_; }

  // Reads a REGEDIT4 text into the registry; false with a message naming the line when it is
  // malformed (the registry may then hold the keys read before that line).
  bool Import(const std::string& text, std::string& error);
  std::string Export() const;

  // Direct look-ups by full path ("HKEY_LOCAL_MACHINE\Software\..."), for tests and the lab tool.
  const RegNode* FindKey(const std::string& fullPath) const;
  const RegValue* FindValue(const std::string& fullPath, const std::string& valueName) const;
  // Creates the key and its parents; no journal entry.
  RegNode* EnsureKey(const std::string& fullPath);
  // The whole registry copied, and the registry put back as a copy holds it (the copy stays as
  // it is; keys open before are forgotten: the process that held them is gone).
  RegistryImage Copy() const;
  void Restore(const RegistryImage& image);

  std::int32_t OpenKey(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                       platform::RegKey& result) override;
  std::int32_t CreateKey(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                         platform::RegKey& result, std::uint32_t* disposition = nullptr) override;
  std::int32_t QueryValue(platform::RegKey key, const std::string& name, std::uint32_t capacity,
                          platform::RegData& result) override;
  std::int32_t SetValue(platform::RegKey key, const std::string& name, std::uint32_t type,
                        const std::uint8_t* data, std::uint32_t size) override;
  std::int32_t EnumKey(platform::RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                       std::string& name) override;
  std::int32_t EnumValue(platform::RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                         std::string& name, std::uint32_t* type = nullptr) override;
  std::int32_t DeleteValue(platform::RegKey key, const std::string& name) override;
  std::int32_t DeleteKey(platform::RegKey key, const std::string& subKey) override;
  std::int32_t CloseKey(platform::RegKey key) override;

  std::size_t OpenHandleCount() const { return open_.size(); }
  // Whether the user may open the key at this full path for writing: on the NT family one who
  // is no administrator may not write below HKEY_LOCAL_MACHINE.
  bool WriteAllowed(const std::string& fullPath) const;

 private:
  struct Open {
    std::shared_ptr<RegNode> node;
    std::uint32_t access = 0;
    std::string path;  // full path, for the journal
  };

  // The node and full path a handle stands for; false for an unknown handle.
  bool Resolve(platform::RegKey key, Open& result) const;
  // The block every operation on an open key starts with: the injected fault, the handle
  // resolved, a key deleted meanwhile, and the access right the operation needs (0: none).
  // ERROR_SUCCESS when the operation goes on with `open`, else the error to return (also the
  // last error).
  std::int32_t Begin(Call call, platform::RegKey key, std::uint32_t right, Open& open);
  // The key `subKey` names below `from` (made when `create` is set), or null; each name walked
  // is appended to `path` when one is given.
  std::shared_ptr<RegNode> Walk(const std::shared_ptr<RegNode>& from, std::string_view subKey,
                                bool create, std::string* path, bool* created = nullptr);
  bool Allowed(const Open& open, std::uint32_t right) const;
  platform::RegKey NewHandle(const std::shared_ptr<RegNode>& node, std::uint32_t access,
                             const std::string& path);
  std::int32_t Result(std::uint32_t error);
  // The key a full path names, or null; `parent` receives its parent (null for a root).
  std::shared_ptr<RegNode> Lookup(const std::string& fullPath, RegNode** parent = nullptr) const;
  // True for a root key and for every key on the way to the keys HKEY_CURRENT_USER and
  // HKEY_CLASSES_ROOT show: the machine cannot do without them.
  bool Keeps(const RegNode& key) const;
  // The root node and full path prefix of a path that starts with a root name.
  std::shared_ptr<RegNode> RootOf(const std::string& fullPath, std::string& rest,
                                  std::string& prefix) const;

  SimCore& core_;
  std::shared_ptr<RegNode> machine_;
  std::shared_ptr<RegNode> users_;
  std::string currentUser_ = ".DEFAULT";
  std::map<std::uintptr_t, Open> open_;
  std::uintptr_t nextHandle_ = 0x1000;
  std::uint64_t keysMade_ = 0;
};

// Marks a key and all its subkeys deleted, so that open handles to them fail.
void MarkDeleted(RegNode& node);

}  // namespace sim
