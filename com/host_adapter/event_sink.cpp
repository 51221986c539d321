#include "com/host_adapter/event_sink.h"

#include "com/error_boundary.h"
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/host_ids.h"
#include "com/variant.h"

#include <oleauto.h>

#include <new>

namespace vantelo::com::host {

namespace {

// An object argument passed by value: an object or nothing.
HRESULT ReadObject(VARIANTARG& argument, ComPtr<IDispatch>& object) noexcept {
  Variant value;
  if (FAILED(VariantCopyInd(value.Get(), &argument)))
    return DISP_E_TYPEMISMATCH;
  switch (value.Type()) {
  case VT_EMPTY:
    object.Reset();
    return S_OK;
  case VT_DISPATCH:
    object = ComPtr<IDispatch>(V_DISPATCH(value.Get()));
    return S_OK;
  case VT_UNKNOWN:
    if (!V_UNKNOWN(value.Get())) {
      object.Reset();
      return S_OK;
    }
    return V_UNKNOWN(value.Get())->QueryInterface(IID_IDispatch, object.PutVoid()) == S_OK
               ? S_OK
               : DISP_E_TYPEMISMATCH;
  default:
    return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ReadLong(VARIANTARG& argument, std::int32_t& number) noexcept {
  Variant value;
  const HRESULT hr = VariantChangeType(value.Get(), &argument, 0, VT_I4);
  if (FAILED(hr))
    return hr;
  number = V_I4(value.Get());
  return S_OK;
}

// A 32-bit code passed by reference (directly or as a referenced variant).
HRESULT ReadLongByReference(VARIANTARG& argument, std::int32_t& number) noexcept {
  if (V_VT(&argument) == (VT_I4 | VT_BYREF) && V_I4REF(&argument)) {
    number = *V_I4REF(&argument);
    return S_OK;
  }
  if (V_VT(&argument) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(&argument))
    return ReadLong(*V_VARIANTREF(&argument), number);
  return DISP_E_TYPEMISMATCH;
}

} // namespace

ComPtr<EventSink> EventSink::Create(ApplicationEventsSink& target) {
  return ComPtr<EventSink>::Adopt(new EventSink(target));
}

HRESULT EventSink::QueryInterface(REFIID iid, void** result) {
  if (!result)
    return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == iid::ApplicationEventsSink) {
    *result = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *result = nullptr;
  return E_NOINTERFACE;
}

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
  if (!count)
    return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info)
    *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return DISP_E_UNKNOWNNAME;
}

HRESULT EventSink::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO* exception, UINT* argumentError) {
  if (iid != IID_NULL)
    return DISP_E_UNKNOWNINTERFACE;
  if (result)
    VariantInit(result);
  if (id != dispid::OnSaveDocument)
    return S_OK;
  if (!params)
    return E_INVALIDARG;
  return OnSaveDocument(*params, exception, argumentError);
}

HRESULT EventSink::OnSaveDocument(DISPPARAMS& params, EXCEPINFO* exception,
                                  UINT* argumentError) noexcept {
  if (params.cNamedArgs != 0)
    return DISP_E_NONAMEDARGS;
  if (params.cArgs != 4 || !params.rgvarg)
    return DISP_E_BADPARAMCOUNT;
  // The arguments arrive last to first: DocumentObject, BeforeOrAfter,
  // Context, HandlingCode (by reference).
  ComPtr<IDispatch> document;
  ComPtr<IDispatch> context;
  std::int32_t beforeOrAfter = 0;
  std::int32_t handlingCode = 0;
  const HRESULT checks[] = {
      ReadLongByReference(params.rgvarg[0], handlingCode),
      ReadObject(params.rgvarg[1], context),
      ReadLong(params.rgvarg[2], beforeOrAfter),
      ReadObject(params.rgvarg[3], document),
  };
  for (UINT position = 0; position < 4; ++position) {
    if (FAILED(checks[position])) {
      if (argumentError)
        *argumentError = position;
      return checks[position];
    }
  }

  ApplicationEventsSink* target = target_;
  if (!target)
    return S_OK;
  // The handler may let the host's messages run; the host could release the
  // connection meanwhile.
  const ComPtr<EventSink> keepAlive(this);
  const HRESULT hr = Guarded(iid::ApplicationEventsSink, [&] {
    // The host's code is read, never written back: the handler works on a copy.
    std::int32_t code = handlingCode;
    // The adapters reached from the notification's own objects come from a
    // pool of this save.
    const PoolRef pool = AdapterPool::Create();
    target->OnSaveDocument(MakeDocument(*pool, document), beforeOrAfter,
                           MakeHostObject(*pool, context), code);
  });
  return SUCCEEDED(hr) ? hr : DispatchException(hr, exception);
}

} // namespace vantelo::com::host
