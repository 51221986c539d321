// The Wine test program of the Windows module: GoogleTest in a
// single-threaded COM apartment, as the host calls the add-in. ctest runs
// each test on its own (--gtest_filter); a filter that selects no test fails,
// so that a renamed or removed test cannot pass unseen.
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
    return 2;
  const int failed = RUN_ALL_TESTS();
  const bool ranNone = ::testing::UnitTest::GetInstance()->test_to_run_count() == 0;
  CoUninitialize();
  if (ranNone && !::testing::GTEST_FLAG(list_tests)) {
    std::fputs("No test matches the filter\n", stderr);
    return 1;
  }
  return failed;
}
