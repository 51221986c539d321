#include "com_host/host_object.h"

#include "addin/failure.h"
#include "com_host/variant_values.h"

#include <oleauto.h>
#include <olectl.h>

namespace vtest::comhost {

namespace {

bool Accepts(Call call, WORD flags) {
  switch (call) {
  case Call::Get:
    return flags & DISPATCH_PROPERTYGET;
  case Call::Put:
    return flags & DISPATCH_PROPERTYPUT;
  case Call::Method:
    return flags & DISPATCH_METHOD;
  }
  return false;
}

VARTYPE ExpectedType(Arg argument) {
  switch (argument) {
  case Arg::Text:
    return VT_BSTR;
  case Arg::Short:
    return VT_I2;
  case Arg::Long:
    return VT_I4;
  case Arg::LongByReference:
    return VT_I4 | VT_BYREF;
  case Arg::DoubleByReference:
    return VT_R8 | VT_BYREF;
  case Arg::Any:
    return VT_EMPTY;
  }
  return VT_EMPTY;
}

void FillException(EXCEPINFO* exception, HRESULT code, const std::string& message) {
  if (!exception)
    return;
  *exception = EXCEPINFO{};
  exception->scode = code;
  const std::wstring text = Wide(message);
  exception->bstrDescription = SysAllocString(text.c_str());
  exception->bstrSource = SysAllocString(L"Inventor (stand-in)");
}

// The application events' connection point for the notification interface.
class ConnectionPoint final : public IConnectionPoint {
public:
  ConnectionPoint(std::shared_ptr<World> world, ComPtr<IConnectionPointContainer> container,
                  vantelo::ApplicationEvents& events)
      : world_(std::move(world)), container_(std::move(container)), events_(events) {
    world_->ObjectCreated();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
    if (!result)
      return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
      *result = static_cast<IConnectionPoint*>(this);
      AddRef();
      return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
      delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    *iid = ApplicationEventsSinkIid();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override {
    *c = ComPtr<IConnectionPointContainer>(container_).Detach();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    return world_->Advise(events_, sink, cookie);
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override { return world_->Unadvise(cookie); }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
  ~ConnectionPoint() { world_->ObjectDestroyed(); }

  std::shared_ptr<World> world_;
  ComPtr<IConnectionPointContainer> container_;
  vantelo::ApplicationEvents& events_; // kept alive through the container
  LONG references_ = 1;
};

} // namespace

ComPtr<IDispatch> HostObject::Create(std::shared_ptr<World> world,
                                     vantelo::Ref<vantelo::HostObject> target, const Kind& kind) {
  return ComPtr<IDispatch>::Adopt(new HostObject(std::move(world), std::move(target), kind));
}

HostObject::HostObject(std::shared_ptr<World> world, vantelo::Ref<vantelo::HostObject> target,
                       const Kind& kind)
    : world_(std::move(world)), target_(std::move(target)), kind_(kind) {
  world_->ObjectCreated();
}

HostObject::~HostObject() { world_->ObjectDestroyed(); }

HRESULT HostObject::QueryInterface(REFIID iid, void** result) {
  if (!result)
    return E_POINTER;
  *result = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    *result = static_cast<IDispatch*>(this);
  } else if (iid == IID_IConnectionPointContainer && kind_.raisesApplicationEvents) {
    *result = static_cast<IConnectionPointContainer*>(this);
  } else {
    for (const GUID& own : kind_.iids)
      if (iid == own)
        *result = static_cast<IDispatch*>(this);
  }
  if (*result) {
    AddRef();
    return S_OK;
  }
  // A cast is the host's own interface query, which may fail.
  for (const Cast& cast : kind_.casts) {
    if (iid != cast.iid)
      continue;
    try {
      *result = world_->Wrap(cast.query(*target_), cast.kind()).Detach();
      return S_OK;
    } catch (const vantelo::Failure& failure) {
      return failure.Code();
    }
  }
  return E_NOINTERFACE;
}

ULONG HostObject::AddRef() { return InterlockedIncrement(&references_); }

ULONG HostObject::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0)
    delete this;
  return left;
}

HRESULT HostObject::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT HostObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT HostObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  world_->CountCall(kind_, DISPID_UNKNOWN);
  if (count != 1)
    return DISP_E_UNKNOWNNAME;
  for (const Member& member : kind_.members) {
    if (CompareStringOrdinal(member.name, -1, names[0], -1, TRUE) == CSTR_EQUAL) {
      ids[0] = member.id;
      return S_OK;
    }
  }
  ids[0] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

HRESULT HostObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  world_->CountCall(kind_, id);
  if (iid != IID_NULL)
    return DISP_E_UNKNOWNINTERFACE;
  const Member* member = nullptr;
  for (const Member& candidate : kind_.members)
    if (candidate.id == id && Accepts(candidate.call, flags))
      member = &candidate;
  if (!member)
    return DISP_E_MEMBERNOTFOUND;
  const bool put = member->call == Call::Put;
  if (put && (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
    return DISP_E_PARAMNOTOPTIONAL;
  if (!put && params->cNamedArgs != 0)
    return DISP_E_NONAMEDARGS;
  if (params->cArgs != member->arguments.size())
    return DISP_E_BADPARAMCOUNT;

  std::vector<VARIANTARG*> declared;
  for (std::size_t i = 0; i < member->arguments.size(); ++i) {
    VARIANTARG* argument = &params->rgvarg[params->cArgs - 1 - i];
    const VARTYPE wanted = ExpectedType(member->arguments[i]);
    if (wanted != VT_EMPTY && V_VT(argument) != wanted) {
      if (argumentError)
        *argumentError = static_cast<UINT>(params->cArgs - 1 - i);
      return DISP_E_TYPEMISMATCH;
    }
    declared.push_back(argument);
  }

  VARIANT ignored;
  VariantInit(&ignored);
  VARIANT* out = result ? result : &ignored;
  VariantInit(out);
  const ComPtr<IDispatch> keepAlive(this);
  try {
    const CallArguments arguments(std::move(declared));
    CallResult callResult(*world_, out);
    member->handler(*target_, arguments, callResult);
  } catch (const vantelo::Failure& failure) {
    VariantClear(out);
    FillException(exception, failure.Code(), failure.what());
    return DISP_E_EXCEPTION;
  }
  VariantClear(&ignored);
  return S_OK;
}

HRESULT HostObject::EnumConnectionPoints(IEnumConnectionPoints**) { return E_NOTIMPL; }

HRESULT HostObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point)
    return E_POINTER;
  *point = nullptr;
  if (!kind_.raisesApplicationEvents || iid != ApplicationEventsSinkIid())
    return CONNECT_E_NOCONNECTION;
  *point = new ConnectionPoint(world_, ComPtr<IConnectionPointContainer>(this),
                               dynamic_cast<vantelo::ApplicationEvents&>(*target_));
  return S_OK;
}

} // namespace vtest::comhost
