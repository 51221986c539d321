// Runs a function on several threads at once and waits for all of them, on
// POSIX and on Windows (std::thread where the standard library has it; the
// system's threads with mingw-w64's win32 thread model, which has none).
#pragma once

#include <functional>
#include <vector>

#if defined(_WIN32) && defined(__GLIBCXX__) && !defined(_GLIBCXX_HAS_GTHREADS)
#include <windows.h>
#define VANTELO_TEST_SYSTEM_THREADS 1
#else
#include <thread>
#endif

namespace vantelo::test {

// Calls run(0) ... run(count - 1), each on a thread of its own.
inline void RunConcurrently(int count, const std::function<void(int)>& run) {
#ifdef VANTELO_TEST_SYSTEM_THREADS
  struct Call {
    const std::function<void(int)>* run;
    int index;
  };
  std::vector<Call> calls;
  for (int i = 0; i < count; ++i)
    calls.push_back({&run, i});
  std::vector<HANDLE> threads;
  for (Call& call : calls)
    threads.push_back(CreateThread(
        nullptr, 0,
        [](void* argument) -> DWORD {
          const Call& c = *static_cast<Call*>(argument);
          (*c.run)(c.index);
          return 0;
        },
        &call, 0, nullptr));
  WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
  for (HANDLE thread : threads)
    CloseHandle(thread);
#else
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i)
    threads.emplace_back([&run, i] { run(i); });
  for (std::thread& thread : threads)
    thread.join();
#endif
}

} // namespace vantelo::test
