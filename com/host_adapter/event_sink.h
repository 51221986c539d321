// The receiver of the host's application events: a COM object with its own
// reference count (the host holds it for as long as the connection lasts)
// that the connection point of the events interface
// {CD4C47ED-C403-4F42-B3BF-0A90F3E89D81} calls. It hands the save
// notification to the add-in and answers every other event with success.
#pragma once

#include "addin/host_model.h"
#include "com/com_object.h"
#include "com/com_ptr.h"

#include <windows.h>

#include <oaidl.h>

namespace vantelo::com::host {

class EventSink final : public ComObject<IDispatch> {
public:
  // `target` must stay alive until Detach().
  static ComPtr<EventSink> Create(ApplicationEventsSink& target);
  // Stops the delivery: later notifications reach nobody and succeed.
  void Detach() noexcept { target_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

private:
  explicit EventSink(ApplicationEventsSink& target) noexcept : target_(&target) {}
  ~EventSink() override = default;

  HRESULT OnSaveDocument(DISPPARAMS& params, EXCEPINFO* exception, UINT* argumentError) noexcept;

  ApplicationEventsSink* target_; // not owned
};

} // namespace vantelo::com::host
