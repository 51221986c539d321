#include "com/error_boundary.h"

#include "com/com_ptr.h"
#include "platform/windows/wide_text.h"

#include <oaidl.h>
#include <oleauto.h>

namespace vantelo::com {

HRESULT reportFailure(const IID& iid, HRESULT code, const char* description) noexcept {
  if (SUCCEEDED(code))
    code = E_FAIL;
  ComPtr<ICreateErrorInfo> info;
  if (FAILED(CreateErrorInfo(info.put())))
    return code;
  info->SetGUID(iid);
  info->SetSource(const_cast<LPOLESTR>(L"Vantelo.clsVantelo"));
  try {
    std::wstring text = win::wideFromUtf8(description ? description : "");
    info->SetDescription(text.data());
  } catch (...) {
    // Without memory for the text the caller still gets the code.
  }
  ComPtr<IErrorInfo> errorInfo;
  if (SUCCEEDED(info.queryInterface(IID_IErrorInfo, errorInfo)))
    SetErrorInfo(0, errorInfo.get());
  return code;
}

HRESULT dispatchException(HRESULT code, EXCEPINFO* exception) noexcept {
  if (!exception)
    return code;
  *exception = EXCEPINFO{};
  exception->scode = code;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) == S_OK) {
    info->GetSource(&exception->bstrSource);
    info->GetDescription(&exception->bstrDescription);
  }
  return DISP_E_EXCEPTION;
}

} // namespace vantelo::com
