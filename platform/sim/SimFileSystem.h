// The simulated file system: drives and network shares of folders and files whose names compare
// ignoring case and keep their case, with 8.3 short names, attributes, read-only media, files in
// use, a current directory, wildcard searches and C runtime streams.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Files.h"
#include "platform/WinConstants.h"
#include "platform/sim/FileData.h"
#include "platform/sim/SimCore.h"

namespace sim {

struct FileNode {
  std::string name;
  std::string shortName;  // the 8.3 name when it differs from `name`, else empty
  bool isFolder = false;
  std::uint32_t attributes = 0;  // READONLY, HIDDEN, SYSTEM, ARCHIVE bits; 0 means normal
  FileData data;
  std::vector<std::unique_ptr<FileNode>> children;  // in creation order, as FAT keeps them
  FileNode* parent = nullptr;
  int openStreams = 0;
  bool inUse = false;  // held open by another program that denies deletion and writing
  std::uint64_t generation = 0;

  FileNode* Child(std::string_view childName) const;  // by long or short name
  // Sets the 8.3 name (empty: none), keeping the folder's index of its children's names.
  void SetShortName(std::string shortName);
  // The folder's index: every child under its upper-cased long and short name. Kept by the
  // file system whenever a child comes, goes, or changes a name.
  std::unordered_map<std::string, FileNode*> childNames;
  void IndexChild(FileNode* child);
  void UnindexChild(FileNode* child);
  // The folder's first 8.3 tail number worth trying for a name stem ("SOUNDL.WAV"): every
  // one below it is taken, so that a folder of thousands of like names gives each its number in
  // one step. Forgotten when a name with a tilde leaves the folder and frees a number.
  std::unordered_map<std::string, unsigned> shortNameTails;
};

class SimFileSystem : public platform::Files {
 public:
  // Called for a MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT on the NT family; gets the full
  // source path, the full target path (empty: delete) and whether to replace.
  using DelayedMoveRecorder = std::function<bool(const std::string&, const std::string&, bool)>;

  explicit SimFileSystem(SimCore& core);
  ~SimFileSystem() override;

  // Machine set-up; none of these are journalled.
  void AddDrive(char letter, bool readOnlyMedia);
  bool IsReadOnlyMedia(char letter) const;
  std::vector<char> Drives() const;
  // A network share "\\server\share", reached by its UNC path; false when `unc` is not of
  // that form. Server and share names compare ignoring case, as drive letters do.
  bool AddShare(const std::string& unc, bool readOnlyMedia);
  bool HasShare(const std::string& unc) const;
  bool IsReadOnlyMedia(const std::string& root) const;  // "D:" or "\\server\share"
  std::vector<std::string> Shares() const;              // as they were added
  void SetWindowsFolder(const std::string& path);
  const std::string& WindowsFolder() const { return windowsFolder_; }
  void SetCurrentFolderDirect(const std::string& path);
  const std::string& CurrentFolder() const { return currentFolder_; }
  void SetDelayedMoveRecorder(DelayedMoveRecorder recorder) { delayedMove_ = std::move(recorder); }
  // Tells whether a running program holds the file at a full path open (its own program file,
  // while it runs).
  using OpenByPrograms = std::function<bool(const std::string& fullPath)>;
  void SetOpenByPrograms(OpenByPrograms openByPrograms) {
    openByPrograms_ = std::move(openByPrograms);
  }
  // Held open by another program, or by Windows itself: it cannot be deleted or written.
  bool InUse(const FileNode* node) const;
  // Creates the file (and its folders) or replaces its content.
  bool WriteFileDirect(const std::string& path, std::string_view content,
                       std::uint32_t attributes = 0);
  bool MakeFoldersDirect(const std::string& path);
  // For a tree read elsewhere (a host folder): the root folder of a drive or share, and a new
  // folder or file in a folder of this file system, with its 8.3 name. Null for a root that is
  // not there, and for a name that Windows refuses or that the folder already has.
  FileNode* RootDirect(const std::string& root);
  FileNode* AddDirect(FileNode* folder, const std::string& name, bool isFolder);
  std::optional<std::string> ReadFileDirect(const std::string& path) const;
  bool RemoveDirect(const std::string& path);
  bool MoveDirect(const std::string& source, const std::string& target);  // replaces the target
  void SetInUse(const std::string& path, bool inUse);
  void ClearInUse();
  FileNode* Find(const std::string& path) const;
  // What a program of real-mode MS-DOS reaches through a full path on a drive: only 8.3 names,
  // each the file's own 8.3 name. The node the path names, or with `parent` the folder its last
  // name (an 8.3 name too) would stand in; null when the path cannot be followed so.
  FileNode* FindByShortNames(const std::string& path, bool parent = false) const;
  // The same, with the Win32 error of a path that leads nowhere.
  FileNode* Find(const std::string& path, std::uint32_t& error) const;
  // The full path of `path` as Windows would complete it; empty when it cannot be resolved.
  std::string FullPath(const std::string& path) const;
  // The full path as GetFullPathNameA makes it, names unchecked and the file not looked for:
  // "." and ".." taken out, trailing dots and blanks of the last name dropped, a final
  // backslash kept. Nothing for a path of blanks only.
  std::optional<std::string> FullPathName(const std::string& path) const;
  // Every node below the root of a drive or share, with its full path, parents before children.
  void Walk(char letter,
            const std::function<void(const std::string&, const FileNode&)>& visit) const;
  void Walk(const std::string& root,
            const std::function<void(const std::string&, const FileNode&)>& visit) const;
  std::uint64_t NextGeneration() { return ++generationCounter_; }

  bool CopyFile(const std::string& source, const std::string& target, bool failIfExists) override;
  // A write the power loss cuts: `node` keeps what the plan says of `bytes` (or goes, when it
  // was new and the plan leaves it absent), then the power goes off.
  [[noreturn]] void CutWrite(FileNode* node, bool existed, const FileData& bytes);
  bool DeleteFile(const std::string& path) override;
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
  std::uint32_t GetAttributes(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool SetCurrentFolder(const std::string& path) override;
  std::uint32_t GetCurrentFolder(std::uint32_t capacity, std::string& result) override;
  std::uint32_t GetWindowsFolder(std::uint32_t capacity, std::string& result) override;
  std::uint32_t GetShortPath(const std::string& longPath, std::uint32_t capacity,
                             std::string& result) override;
  std::uint32_t GetFullPath(const std::string& path, std::uint32_t capacity,
                            std::string& result) override;
  bool MoveFile(const std::string& source, const std::optional<std::string>& target,
                std::uint32_t flags) override;
  platform::FindHandle FindFirst(const std::string& pattern, platform::FindData& result) override;
  bool FindNext(platform::FindHandle handle, platform::FindData& result) override;
  void FindClose(platform::FindHandle handle) override;
  std::unique_ptr<platform::Stream> OpenStream(const std::string& path,
                                               const std::string& mode) override;

  std::size_t OpenSearchCount() const { return searches_.size(); }

  // While one exists, the streams opened are the machine's own (the profile engine writing a
  // file): their calls are no platform calls, neither counted nor failed by faults, and their
  // writes are not journalled (the caller journals them its own way).
  class QuietScope {
   public:
    explicit QuietScope(SimFileSystem& files) : files_(files) { ++files_.quiet_; }
    ~QuietScope() { --files_.quiet_; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

   private:
    SimFileSystem& files_;
  };

 private:
  struct Volume {                    // a drive or a share
    std::unique_ptr<FileNode> root;  // named "C:" or "\\server\share"
    bool readOnlyMedia = false;
  };
  struct Rooted {          // a full path, not yet taken apart
    std::string root;      // "C:", or "\\server\share" as written
    std::string rest;      // what follows the root
    bool complete = true;  // false for a UNC path without a share name
  };
  struct Parsed {                    // a path taken apart
    std::string root;                // "C:", or "\\server\share" as written
    std::vector<std::string> parts;  // normalised components
    std::uint32_t error = 0;         // non-zero when the path is malformed
  };
  // What an operation needs to find at a path it names.
  enum class Need {
    Node,    // what the path names
    File,    // what the path names, and not a folder (ERROR_ACCESS_DENIED)
    Parent,  // the folder the path's last name is in
    Any,     // what the path names, if anything: `node` may stay null, with `error` saying why
  };
  // One path an operation names, and what was found there.
  struct Target {
    Target(const std::string& path, Need what) : text(path), need(what) {}
    const std::string& text;
    Need need;
    bool pattern = false;  // wildcards allowed in the last name (searches)
    std::uint32_t rootError = win::ERROR_ACCESS_DENIED;  // Need::Parent of a root itself
    Parsed parsed;
    FileNode* node = nullptr;  // the node found; for Need::Parent, the folder
    std::uint32_t error = 0;   // Need::Any: why `node` is null
  };
  struct Search {
    FileNode* folder = nullptr;
    std::vector<std::string> names;  // matches when the search began
    std::size_t next = 0;
    bool dots = false;  // "." and ".." come first
    int dotsReturned = 0;
  };
  friend class SimStream;

  // The block every operation on paths starts with: the injected fault, then every path taken
  // apart, then every path looked up, in order. False, with the last error set, when the
  // operation cannot go on.
  bool Begin(Call call, std::initializer_list<Target*> targets);
  // The same without the fault check, for an operation that checks its arguments in between.
  bool Resolve(std::initializer_list<Target*> targets);
  // The root of a full path ("C:\\x" or "\\server\share\x") and what follows it.
  static Rooted SplitRoot(const std::string& path);
  // A path made full against the current directory, as Windows does (backslashes only).
  Rooted Absolute(const std::string& path) const;
  // Wildcards are allowed in the last name only when `pattern` is set (searches).
  Parsed Parse(const std::string& path, bool pattern = false) const;
  static std::string Join(const std::string& root, const std::vector<std::string>& parts,
                          std::size_t count);
  // The length of Join(root, parts, parts.size()), without building it.
  static std::size_t JoinedLength(const std::string& root, const std::vector<std::string>& parts);
  // The root folder of a drive or share, or null with the Win32 error for it.
  FileNode* Root(const std::string& root, std::uint32_t& error) const;
  Volume* VolumeOf(const std::string& root);
  // The node a parsed path names, or null with the Win32 error for the missing part.
  FileNode* Locate(const Parsed& parsed, std::uint32_t& error) const;
  FileNode* LocateParent(const Parsed& parsed, std::uint32_t& error) const;
  FileNode* AddChild(FileNode* folder, const std::string& name, bool isFolder);
  void AssignShortName(FileNode* folder, FileNode* node) const;
  bool Writable(const Parsed& parsed) const;
  void Unlink(FileNode* node);
  std::string PathOf(const FileNode* node) const;
  platform::FindData Describe(const FileNode& node, const std::string& name) const;
  bool Copy(const std::string& source, const std::string& target, bool failIfExists);
  // The next name of a search, without the fault check of FindNextFileA.
  bool NextMatch(platform::FindHandle handle, platform::FindData& result);

  SimCore& core_;
  std::map<std::string, Volume> volumes_;  // by upper-cased root
  std::string windowsFolder_ = "C:\\WINDOWS";
  std::string currentFolder_ = "C:\\";
  DelayedMoveRecorder delayedMove_;
  OpenByPrograms openByPrograms_;
  std::map<std::uintptr_t, Search> searches_;
  std::uintptr_t nextSearch_ = 0x100;
  std::uint64_t generationCounter_ = 0;
  int quiet_ = 0;
};

// True for a UNC path ("\\server\share\..."; either slash).
bool IsUncPath(std::string_view path);
// True for a name Windows keeps as it is: not empty, no character it refuses, no separator, and
// no dot or blank at its end (which Windows would drop).
bool IsKeptName(std::string_view name);
// True when `name` is already a valid 8.3 name (letter case aside).
bool IsShortName(std::string_view name);
// Case-insensitive wildcard match with "*" and "?"; "*.*" matches every name.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace sim
