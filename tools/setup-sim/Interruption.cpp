#include "tools/setup-sim/Interruption.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace lab {

namespace {

// What the handler may touch: only these, and only calls that are safe in a signal handler.
constexpr int kSlots = 4;
char temporaryFiles[kSlots][PATH_MAX];
volatile sig_atomic_t slotUsed[kSlots];
volatile sig_atomic_t holds = 0;
volatile sig_atomic_t requested = 0;  // the signal that came during a hold

void Say(const char* text) {
  ssize_t written = ::write(STDERR_FILENO, text, std::strlen(text));
  (void)written;
}

void EndAs(int signal) {
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  ::sigemptyset(&standard.sa_mask);
  ::sigaction(signal, &standard, nullptr);
  ::raise(signal);
}

void OnInterrupt(int signal) {
  if (holds > 0) {
    if (requested == 0) {
      Say("\nsetup-sim: interrupted: taking away what was being written\n");
    }
    requested = signal;
    return;
  }
  for (int i = 0; i < kSlots; ++i) {
    if (slotUsed[i]) {
      ::unlink(temporaryFiles[i]);
    }
  }
  Say("\nsetup-sim: interrupted\n");
  EndAs(signal);
}

}  // namespace

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  ::sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    ::sigaddset(&action.sa_mask, signal);
  }
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    ::sigaction(signal, &action, nullptr);
  }
}

TemporaryFileGuard::TemporaryFileGuard(const std::string& path) : slot_(-1) {
  for (int i = 0; i < kSlots && slot_ < 0; ++i) {
    if (!slotUsed[i] && path.size() < PATH_MAX) {
      std::memcpy(temporaryFiles[i], path.c_str(), path.size() + 1);
      slotUsed[i] = 1;
      slot_ = i;
    }
  }
}

TemporaryFileGuard::~TemporaryFileGuard() {
  if (slot_ >= 0) {
    slotUsed[slot_] = 0;
  }
}

InterruptionHold::InterruptionHold() {
  holds = holds + 1;
}

InterruptionHold::~InterruptionHold() {
  holds = holds - 1;
  if (holds == 0 && requested != 0) {
    EndAs(requested);
  }
}

bool InterruptionHold::Requested() const {
  return requested != 0;
}

}  // namespace lab
