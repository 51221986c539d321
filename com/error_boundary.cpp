#include "com/error_boundary.h"

#include "com/com_ptr.h"
#include "platform/windows/wide_text.h"

#include <oaidl.h>
#include <oleauto.h>

namespace vantelo::com {

HRESULT ReportFailure(const IID& iid, HRESULT code, const char* description) noexcept {
  ComPtr<ICreateErrorInfo> info;
  if (FAILED(CreateErrorInfo(info.Put())))
    return code;
  info->SetGUID(iid);
  info->SetSource(const_cast<LPOLESTR>(L"Vantelo.clsVantelo"));
  try {
    std::wstring text = win::WideFromUtf8(description ? description : "");
    info->SetDescription(text.data());
  } catch (...) {
    // Without memory for the text the caller still gets the code.
  }
  ComPtr<IErrorInfo> errorInfo;
  if (SUCCEEDED(info.As(IID_IErrorInfo, errorInfo)))
    SetErrorInfo(0, errorInfo.Get());
  return code;
}

HRESULT DispatchException(HRESULT code, EXCEPINFO* exception) noexcept {
  if (!exception)
    return code;
  *exception = EXCEPINFO{};
  exception->scode = code;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Put()) == S_OK) {
    info->GetSource(&exception->bstrSource);
    info->GetDescription(&exception->bstrDescription);
  }
  return DISP_E_EXCEPTION;
}

} // namespace vantelo::com
