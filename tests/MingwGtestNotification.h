// GoogleTest's Notification uses std::mutex, which the win32 threading flavour of MinGW-w64
// (the one the Windows builds use, to stay free of threads) does not have. The tests run on one
// thread, so a notification that never has to wait is all it needs.
#pragma once

namespace testing::internal {

class Notification {
 public:
  void Notify() { notified_ = true; }
  void WaitForNotification() {}

 private:
  bool notified_ = false;
};

}  // namespace testing::internal
