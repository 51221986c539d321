// GoogleTest's Notification (a start signal for its own threads), made of a
// Win32 event. GoogleTest's own version needs std::mutex and
// std::condition_variable, which the standard library of Debian's default
// mingw-w64 compiler (the win32 thread model) does not have. Included ahead
// of every source that includes GoogleTest, with GTEST_HAS_NOTIFICATION_ set.
#pragma once

#include <windows.h>

namespace testing::internal {

class Notification {
public:
  Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  ~Notification() { CloseHandle(event_); }

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
  HANDLE event_;
};

} // namespace testing::internal
