// The module's self-registration: what DllRegisterServer writes and
// DllUnregisterServer removes again.
//
// Registration records, under HKEY_CLASSES_ROOT:
//   CLSID\{class id}                  the name "Vantelo" (as the host lists it)
//     InprocServer32                  the module's path; ThreadingModel Apartment
//     ProgID                          Vantelo.clsVantelo
//     TypeLib                         the library identifier
//   Vantelo.clsVantelo\Clsid          the class identifier
// and registers the type library embedded in the module (which holds only the
// add-in's own interface and class, never the host's interfaces).
//
// Unregistration removes exactly these: the class key, the program
// identifier if it still names this class, and the type library. Nothing
// here tells the host to load the add-in; see com/README.md.
#pragma once

#include <windows.h>

namespace vantelo::com {

HRESULT RegisterServer() noexcept;
HRESULT UnregisterServer() noexcept;

} // namespace vantelo::com
