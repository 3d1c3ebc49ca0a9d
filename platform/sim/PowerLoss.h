// Power lost at any moment. A plan ends a run at its Nth platform call of any kind, counted as
// the faults count calls: every call before it took effect, that call did not, and from then on
// the machine is off: no call does anything or is recorded until it starts again. A file copy,
// profile write or stream write that the loss cuts leaves its file as a file system without
// power leaves it (CutWrite), and the registry keeps what had reached the disk
// (RegistryAfterLoss).
//
// The registry reaches the disk lazily on both families: a change is written a few seconds
// after the first change that is not on disk yet. NT's configuration manager flushes a hive
// five seconds after it was first changed; Windows 95 writes "when changed data has aged more
// than a few seconds". The simulation counts those seconds on its virtual clock, which moves
// only while the launcher waits (for a program, or in a pause). NT writes a hive through its
// .LOG file, so a flush is all or nothing; Windows 9x writes SYSTEM.DAT and USER.DAT in place,
// and a start that finds them damaged by a cut flush restores the copies it made at the last
// successful start.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/sim/SimCalls.h"

namespace sim {

class SimRegistry;
struct RegNode;

// How a file write cut by the power loss leaves the file.
enum class CutWrite {
  // A file the write was creating is not there; a file it was rewriting is left empty (a copy
  // or a profile write truncates its target before the new bytes go in); a stream write adds
  // none of its bytes.
  Absent,
  // The first half of the new bytes reached the disk (rounded down), nothing after them.
  Prefix,
};

// What the registry holds after the power loss.
enum class RegistryAfterLoss {
  Kept,       // a flush had just finished: every change made before the loss is on disk
  LastFlush,  // the changes the lazy flusher had not written yet are lost
  LastStart,  // Windows 9x: the loss cut a flush, and the start restored the registry it saved
              // at the last successful start (on NT the .LOG undoes the cut flush: LastFlush)
};

struct PowerLossPlan {
  std::uint64_t atCall = 0;  // counted from when the plan is made, from 1; 0: never
  CutWrite cutWrite = CutWrite::Prefix;
  RegistryAfterLoss registry = RegistryAfterLoss::LastFlush;
};

// Thrown by the call the power fails at: the simulated process ends where it is, no clean-up of
// it reaches the machine, and control goes back to whoever started the run.
struct PowerLoss {
  std::uint64_t call = 0;  // the call's number in the plan's count
  std::string what;        // as the journal tells it
};

// The whole registry, copied: what the disk holds of it.
struct RegistryImage {
  std::shared_ptr<RegNode> machine;
  std::shared_ptr<RegNode> users;
};

// Names "CutWrite::Prefix" and the like in the words of the lab tool's command line: "prefix",
// "absent"; "kept", "last-flush", "last-start".
const char* CutWriteName(CutWrite cut);
const char* RegistryAfterLossName(RegistryAfterLoss registry);
std::optional<CutWrite> ParseCutWrite(const std::string& text);
std::optional<RegistryAfterLoss> ParseRegistryAfterLoss(const std::string& text);

class PowerSupply {
 public:
  static constexpr std::uint64_t kLazyFlushMs = 5000;

  // The machine's registry, and what else stops with the power (its programs).
  void Attach(SimRegistry& registry, std::function<void()> onLoss) {
    registry_ = &registry;
    onLoss_ = std::move(onLoss);
  }
  // The machine has just started (its registry is on disk whole); the power fails at the plan's
  // call, counted from `callsSoFar`.
  void Plan(const PowerLossPlan& plan, std::uint64_t callsSoFar);
  bool Planned() const { return plan_.atCall != 0 && !off_; }
  bool IsOff() const { return off_; }
  std::uint64_t PlannedCall() const { return plan_.atCall; }
  // Call number `total` of the machine begins: true when the power fails during it.
  bool FailsAt(std::uint64_t total, Call call);
  // True while the call the power fails during is under way (it writes a file: the write is
  // cut where it happens).
  bool Cutting() const { return cutting_.has_value() && !off_; }
  // How much of a cut write of `size` bytes reaches the file; nothing: the file is not there.
  std::optional<std::size_t> KeptBytes(std::size_t size, bool existed) const;
  // The virtual clock moves: the lazy flusher writes what has aged enough.
  void ClockMoves(std::uint64_t fromMs, std::uint64_t toMs);
  // The power goes off: the registry is left as the plan says for the machine's family. The
  // journal's words for the call and for what became of the registry.
  std::string Lose(bool nt, const std::string& cut);
  // The journal's words for the last loss.
  const std::string& LostText() const { return lostText_; }
  // What the last loss met: a write under way, registry changes the lazy flusher had not
  // written, a flush since the start. A plan that differs only where nothing was met leaves
  // the machine the same.
  struct LossFacts {
    bool writeCut = false;
    bool registryUnwritten = false;
    bool flushedSinceStart = false;
  };
  const LossFacts& LastLoss() const { return lastLoss_; }
  // The power comes back (the machine starts): the plan is done with.
  void PowerOn();
  // The power fails again while the machine starts (no call of a program is under way).
  void LoseDuringStart(const std::string& what) {
    off_ = true;
    lostText_ = what;
  }

 private:
  RegistryImage Image() const;

  SimRegistry* registry_ = nullptr;
  std::function<void()> onLoss_;
  PowerLossPlan plan_;
  std::uint64_t failsAt_ = 0;  // the machine's own count of calls
  std::optional<Call> cutting_;
  bool off_ = false;
  // What the disk holds: the registry at the last start, and as the last flush wrote it, with
  // its text to tell a change; when the first change not yet written was made.
  RegistryImage atStart_;
  RegistryImage flushed_;
  std::string flushedText_;
  std::optional<std::uint64_t> dirtySinceMs_;
  std::uint64_t flushedAtMs_ = 0;
  LossFacts lastLoss_;
  std::string lostText_;
};

}  // namespace sim
