// One automation object of the COM stand-in host: a simhost object behind
// IDispatch, answering the members, interface identifiers and casts of its
// kind; an application events object also offers its connection point.
#pragma once

#include "com_host/world.h"

#include <ocidl.h>

namespace vtest::comhost {

class HostObject final : public IDispatch, public IConnectionPointContainer {
public:
  static ComPtr<IDispatch> Create(std::shared_ptr<World> world,
                                  vantelo::Ref<vantelo::HostObject> target, const Kind& kind);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
  HostObject(std::shared_ptr<World> world, vantelo::Ref<vantelo::HostObject> target,
             const Kind& kind);
  ~HostObject();

  std::shared_ptr<World> world_;
  vantelo::Ref<vantelo::HostObject> target_;
  const Kind& kind_;
  LONG references_ = 1;
};

} // namespace vtest::comhost
