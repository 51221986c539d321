// The groups of the Wine test program, each run by name from the command line.
#pragma once

#include "test_support.h"

namespace vtest {

void registrationTests(const Environment& environment);
void typeLibraryTests(const Environment& environment);
void objectTests(const Environment& environment);
void propertyTests(const Environment& environment);
void settingsFileTests(const Environment& environment);
void platformServiceTests(const Environment& environment);
// The module on the COM stand-in host.
void activationTests(const Environment& environment);
void saveTests(const Environment& environment);
void commandTests(const Environment& environment);
void partsListTests(const Environment& environment);
void eventSinkTests(const Environment& environment);
void hostOperationTests(const Environment& environment);

} // namespace vtest
