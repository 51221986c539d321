// The module's four exports, the entry points of an in-process COM server.
#include "com/class_factory.h"
#include "com/com_error.h"
#include "com/idl/Vantelo_h.h"
#include "com/module_lifetime.h"
#include "com/registration.h"

#include <objbase.h>

using namespace vantelo::com;

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* result) {
  if (!result)
    return E_POINTER;
  *result = nullptr;
  if (clsid != CLSID_clsVantelo)
    return CLASS_E_CLASSNOTAVAILABLE;
  try {
    const ComPtr<ClassFactory> factory = ClassFactory::Create();
    return factory->QueryInterface(iid, result);
  } catch (...) {
    return CaughtHResult();
  }
}

STDAPI DllCanUnloadNow() { return ModuleCanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return RegisterServer(); }

STDAPI DllUnregisterServer() { return UnregisterServer(); }
