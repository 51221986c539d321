#include "com/com_error.h"

#include <exception>
#include <new>

namespace vantelo::com {

void ThrowHResult(HRESULT hr, std::string_view what) {
  throw Failure(hr, std::string(what) + " (" + HresultText(hr) + ")");
}

HRESULT CaughtHResult(const char** description) noexcept {
  const char* text = nullptr;
  HRESULT code = E_UNEXPECTED;
  try {
    throw;
  } catch (const Failure& failure) {
    text = failure.what();
    code = FAILED(failure.Code()) ? failure.Code() : E_FAIL;
  } catch (const std::bad_alloc&) {
    text = "Out of memory";
    code = E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    text = error.what();
  } catch (...) {
    text = "Unexpected internal error";
  }
  if (description)
    *description = text;
  return code;
}

} // namespace vantelo::com
