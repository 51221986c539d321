// The COM boundary: every call that enters the module runs its body through
// `guarded`, so that no C++ exception ever crosses into the caller. A failure
// becomes the call's HRESULT, and its message the error description that
// IErrorInfo carries to the caller (a macro shows it in its error dialog).
#pragma once

#include "addin/failure.h"

#include <oaidl.h>
#include <windows.h>

#include <exception>
#include <new>

namespace vantelo::com {

// Sets the thread's error information for a failed call of an interface of
// the class and returns the code (E_FAIL if the code is not a failure).
HRESULT reportFailure(const IID& iid, HRESULT code, const char* description) noexcept;

// For an IDispatch::Invoke that failed with `code`: fills the caller's
// EXCEPINFO from the thread's error information and returns
// DISP_E_EXCEPTION, as ITypeInfo::Invoke does; without an EXCEPINFO the code
// itself is returned.
HRESULT dispatchException(HRESULT code, EXCEPINFO* exception) noexcept;

template <class F> HRESULT guarded(const IID& iid, F&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (const Failure& failure) {
    return reportFailure(iid, failure.Code(), failure.what());
  } catch (const std::bad_alloc&) {
    return reportFailure(iid, E_OUTOFMEMORY, "Out of memory");
  } catch (const std::exception& error) {
    return reportFailure(iid, E_UNEXPECTED, error.what());
  } catch (...) {
    return reportFailure(iid, E_UNEXPECTED, "Unexpected internal error");
  }
}

} // namespace vantelo::com
