// The Wine test program of the Windows module:
//   vantelo_com_tests <Vantelo.dll> <host stand-in .tlb> [group...]
// runs the named groups (all without names) and exits with the number of
// failed checks.
#include "check.h"
#include "test_groups.h"

#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

struct Group {
  const char* name;
  void (*run)(const vtest::Environment&);
};

const Group groups[] = {
    {"registration", vtest::registrationTests},
    {"typelib", vtest::typeLibraryTests},
    {"object", vtest::objectTests},
    {"properties", vtest::propertyTests},
    {"settings_file", vtest::settingsFileTests},
    {"platform", vtest::platformServiceTests},
    {"activation", vtest::activationTests},
    {"saves", vtest::saveTests},
    {"command", vtest::commandTests},
    {"parts_list", vtest::partsListTests},
    {"event_sink", vtest::eventSinkTests},
    {"host_operations", vtest::hostOperationTests},
};

bool selected(const char* name, int argc, char** argv) {
  if (argc <= 3)
    return true;
  for (int i = 3; i < argc; ++i)
    if (std::strcmp(argv[i], name) == 0)
      return true;
  return false;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: vantelo_com_tests <Vantelo.dll> <host stand-in .tlb> [group...]\n");
    return 2;
  }
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
    return 2;
  const vtest::Environment environment{vtest::windowsPath(argv[1]), vtest::windowsPath(argv[2])};
  int ran = 0;
  for (const Group& group : groups) {
    if (!selected(group.name, argc, argv))
      continue;
    ++ran;
    const int before = vtest::failureCount();
    std::printf("[ RUN  ] %s\n", group.name);
    std::fflush(stdout);
    try {
      group.run(environment);
    } catch (const std::exception& error) {
      vtest::reportFailure(__FILE__, __LINE__, std::string("exception: ") + error.what());
    }
    std::printf("[ %s ] %s\n", vtest::failureCount() == before ? " OK " : "FAIL", group.name);
    std::fflush(stdout);
  }
  CoUninitialize();
  if (ran == 0) {
    std::printf("no such group\n");
    return 2;
  }
  std::printf("%d failed check(s)\n", vtest::failureCount());
  return vtest::failureCount() > 125 ? 125 : vtest::failureCount();
}
