#include "com_host/world.h"

#include "addin/failure.h"
#include "com_host/host_object.h"
#include "com_host/variant_values.h"

#include <oleauto.h>
#include <olectl.h>

namespace vtest::comhost {

namespace {

// Delivers the stand-in host's save notifications to a connected automation
// sink, as the host raises the event: the arguments last to first, the
// handling code by reference.
class SinkBridge final : public vantelo::ApplicationEventsSink {
public:
  SinkBridge(World& world, ComPtr<IDispatch> sink) : world_(world), sink_(std::move(sink)) {}

  void OnSaveDocument(const vantelo::Ref<vantelo::Document>& document, std::int32_t timing,
                      const vantelo::Ref<vantelo::HostObject>& context,
                      std::int32_t& handlingCode) override {
    LONG code = handlingCode;
    VARIANTARG arguments[4];
    for (VARIANTARG& argument : arguments)
      VariantInit(&argument);
    V_VT(&arguments[3]) = VT_DISPATCH;
    V_DISPATCH(&arguments[3]) = document ? world_.Wrap(document, DocumentKind()).Detach() : nullptr;
    V_VT(&arguments[2]) = VT_I4;
    V_I4(&arguments[2]) = timing;
    V_VT(&arguments[1]) = VT_DISPATCH;
    V_DISPATCH(&arguments[1]) =
        context ? world_.Wrap(context, SaveContextKind()).Detach() : nullptr;
    V_VT(&arguments[0]) = VT_I4 | VT_BYREF;
    V_I4REF(&arguments[0]) = &code;
    DISPPARAMS params = {arguments, nullptr, 4, 0};
    EXCEPINFO exception = {};
    const HRESULT hr = sink_->Invoke(OnSaveDocumentId, IID_NULL, LOCALE_USER_DEFAULT,
                                     DISPATCH_METHOD, &params, nullptr, &exception, nullptr);
    VariantClear(&arguments[3]);
    VariantClear(&arguments[1]);
    handlingCode = code;
    std::string description =
        exception.bstrDescription
            ? Utf8(exception.bstrDescription, SysStringLen(exception.bstrDescription))
            : std::string();
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (hr == DISP_E_EXCEPTION)
      throw vantelo::Failure(exception.scode, description);
    if (FAILED(hr))
      throw vantelo::Failure(hr, "the sink refused the save notification");
  }

private:
  World& world_;
  ComPtr<IDispatch> sink_;
};

} // namespace

struct World::Connection {
  ComPtr<IDispatch> sink;
  std::unique_ptr<SinkBridge> bridge;
  std::unique_ptr<vantelo::EventConnection> hostConnection;
};

std::shared_ptr<World> World::Create(vantelo::sim::Host& host) {
  return std::shared_ptr<World>(new World(host));
}

World::World(vantelo::sim::Host& host) : host_(host) {}

World::~World() = default;

ComPtr<IDispatch> World::AddInSite() { return Wrap(host_.AddInSite(), AddInSiteKind()); }

ComPtr<IDispatch> World::Wrap(const vantelo::Ref<vantelo::HostObject>& object, const Kind& kind) {
  return HostObject::Create(shared_from_this(), object, kind);
}

HRESULT World::Advise(vantelo::ApplicationEvents& events, IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie)
    return E_POINTER;
  *cookie = 0;
  ComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(ApplicationEventsSinkIid(), dispatch.PutVoid())))
    return CONNECT_E_CANNOTCONNECT;
  auto connection = std::make_unique<Connection>();
  connection->sink = dispatch;
  connection->bridge = std::make_unique<SinkBridge>(*this, dispatch);
  try {
    connection->hostConnection = events.Advise(*connection->bridge);
  } catch (const vantelo::Failure& failure) {
    return failure.Code();
  }
  *cookie = nextCookie_++;
  connections_.emplace(*cookie, std::move(connection));
  return S_OK;
}

HRESULT World::Unadvise(DWORD cookie) {
  // The connection goes after the map entry: releasing the sink may call
  // back into the world.
  std::unique_ptr<Connection> gone;
  const auto found = connections_.find(cookie);
  if (found == connections_.end())
    return CONNECT_E_NOCONNECTION;
  gone = std::move(found->second);
  connections_.erase(found);
  return S_OK;
}

HRESULT World::InvokeSinks(DISPID id, DISPPARAMS& params, EXCEPINFO* exception) {
  std::vector<ComPtr<IDispatch>> sinks;
  for (const auto& [cookie, connection] : connections_)
    sinks.push_back(connection->sink);
  HRESULT first = S_OK;
  for (const auto& sink : sinks) {
    const HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                    nullptr, exception, nullptr);
    if (FAILED(hr) && SUCCEEDED(first))
      first = hr;
  }
  return first;
}

} // namespace vtest::comhost
