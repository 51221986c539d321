// The COM stand-in host: automation objects over the in-memory stand-in host
// (simhost), as the add-in meets the real host's objects. Every object it
// hands out answers the dispatch ids, argument types and interface
// identifiers of host_dispatch_table.h and nothing else; calls with another
// id, call kind, argument count or argument type fail as IDispatch fails.
//
// The world counts the objects alive and the event connections, so that a
// test can show that the add-in let go of everything it was given.
#pragma once

#include "com/com_ptr.h"
#include "com_host/host_dispatch_table.h"
#include "simhost/host.h"

#include <map>
#include <memory>
#include <utility>

namespace vtest::comhost {

using vantelo::com::ComPtr;

class World : public std::enable_shared_from_this<World> {
public:
  static std::shared_ptr<World> Create(vantelo::sim::Host& host);
  ~World();

  // The add-in site for Activate.
  ComPtr<IDispatch> AddInSite();
  // A host object as an automation object of the kind.
  ComPtr<IDispatch> Wrap(const vantelo::Ref<vantelo::HostObject>& object, const Kind& kind);

  // The calls made on the world's objects since the last clear, by kind of
  // object and dispatch id (DISPID_UNKNOWN: GetIDsOfNames).
  using CallCounts = std::map<std::pair<const Kind*, DISPID>, long>;
  void CountCall(const Kind& kind, DISPID id) { ++calls_[{&kind, id}]; }
  const CallCounts& Calls() const { return calls_; }
  void ClearCallCounts() { calls_.clear(); }

  long LiveObjects() const { return liveObjects_; }
  std::size_t Connections() const { return connections_.size(); }

  // Invokes every connected sink directly, as the host raises an event;
  // the first failure's status (S_OK when all succeed).
  HRESULT InvokeSinks(DISPID id, DISPPARAMS& params, EXCEPINFO* exception);

  // For the objects of the world.
  void ObjectCreated() { ++liveObjects_; }
  void ObjectDestroyed() { --liveObjects_; }
  HRESULT Advise(vantelo::ApplicationEvents& events, IUnknown* sink, DWORD* cookie);
  HRESULT Unadvise(DWORD cookie);

private:
  explicit World(vantelo::sim::Host& host);

  struct Connection;

  vantelo::sim::Host& host_;
  long liveObjects_ = 0;
  CallCounts calls_;
  std::map<DWORD, std::unique_ptr<Connection>> connections_;
  DWORD nextCookie_ = 1;
};

} // namespace vtest::comhost
