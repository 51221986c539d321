// The mutex of the platform classes that may be used from several threads.
// It is std::mutex, except with a standard library that has none: mingw-w64's
// win32 thread model, with which the Windows programs are built, where it is
// a slim reader/writer lock of the system.
#pragma once

#include <mutex>

#if defined(_WIN32) && defined(__GLIBCXX__) && !defined(_GLIBCXX_HAS_GTHREADS)
#include <windows.h>
#endif

namespace vantelo {

#if defined(_WIN32) && defined(__GLIBCXX__) && !defined(_GLIBCXX_HAS_GTHREADS)
class Mutex {
public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;
  void lock() { AcquireSRWLockExclusive(&lock_); }
  void unlock() { ReleaseSRWLockExclusive(&lock_); }

private:
  SRWLOCK lock_ = SRWLOCK_INIT;
};
#else
using Mutex = std::mutex;
#endif

} // namespace vantelo
