// The COM boundary: every call that enters the module runs its body through
// `Guarded`, so that no C++ exception ever crosses into the caller. A failure
// becomes the call's HRESULT, and its message the error description that
// IErrorInfo carries to the caller (a macro shows it in its error dialog).
#pragma once

#include "com/com_error.h"

#include <oaidl.h>
#include <windows.h>

namespace vantelo::com {

// Sets the thread's error information for a failed call of an interface of
// the class and returns the code.
HRESULT ReportFailure(const IID& iid, HRESULT code, const char* description) noexcept;

// For an IDispatch::Invoke that failed with `code`: fills the caller's
// EXCEPINFO from the thread's error information and returns
// DISP_E_EXCEPTION, as ITypeInfo::Invoke does; without an EXCEPINFO the code
// itself is returned.
HRESULT DispatchException(HRESULT code, EXCEPINFO* exception) noexcept;

template <class F> HRESULT Guarded(const IID& iid, F&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (...) {
    const char* description = nullptr;
    const HRESULT code = CaughtHResult(&description);
    return ReportFailure(iid, code, description);
  }
}

} // namespace vantelo::com
