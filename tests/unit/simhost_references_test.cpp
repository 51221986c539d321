#include "simhost/host.h"
#include "support/failure_code.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace vantelo::sim {
namespace {

using Counts = std::map<std::string, std::size_t>;

TEST(SimReferences, EachObjectHandedOutIsOneReferenceUntilItsLastCopyGoes) {
  Host host;
  auto& drawing = host.AddDocument({.name = "D.idw", .type = document_type::Drawing});
  host.SetActiveDocument(&drawing);

  auto site = host.AddInSite();
  auto application = Use(site).Application();
  auto copyOfApplication = application; // the same reference
  EXPECT_EQ(host.LiveReferencesByInterface(),
            (Counts{{"Application", 1}, {"ApplicationAddInSite", 1}}));

  site.reset();
  auto first = Use(application).ActiveDocument();
  auto second = Use(application).ActiveDocument(); // a second reference
  auto asDrawing = Use(first).AsDrawingDocument();
  EXPECT_EQ(host.LiveReferencesByInterface(),
            (Counts{{"Application", 1}, {"Document", 2}, {"DrawingDocument", 1}}));
  EXPECT_EQ(host.LiveReferences(), 4u);

  application.reset(); // the copy still holds it
  first.reset();
  asDrawing.reset();
  EXPECT_EQ(host.LiveReferencesByInterface(), (Counts{{"Application", 1}, {"Document", 1}}));

  copyOfApplication.reset();
  second.reset();
  EXPECT_EQ(host.LiveReferences(), 0u);
  EXPECT_TRUE(host.LiveReferencesByInterface().empty());
}

TEST(SimReferences, ATemporaryInAChainIsReleasedAtOnce) {
  Host host;
  auto& part = host.AddDocument({.name = "P.ipt"});
  host.SetActiveDocument(&part);
  auto application = Use(host.AddInSite()).Application();
  const auto type = Use(Use(application).ActiveDocument()).DocumentType();
  EXPECT_EQ(type, document_type::Part);
  EXPECT_EQ(host.LiveReferencesByInterface(), (Counts{{"Application", 1}}));
}

TEST(SimReferences, ConnectionsLiveUntilTheirObjectIsDestroyed) {
  struct Sink : ApplicationEventsSink {
    void OnSaveDocument(const Ref<Document>&, std::int32_t, const Ref<HostObject>&,
                        std::int32_t&) override {}
  } sink;
  Host host;
  auto events = Use(Use(host.AddInSite()).Application()).ApplicationEvents();
  auto first = Use(events).Advise(sink);
  auto second = Use(events).Advise(sink);
  EXPECT_EQ(host.LiveConnections(), 2u);
  first.reset();
  EXPECT_EQ(host.LiveConnections(), 1u);
  second.reset();
  EXPECT_EQ(host.LiveConnections(), 0u);
}

TEST(SimReferences, ObjectsStaySafeAfterTheHostIsGone) {
  auto host = std::make_unique<Host>();
  auto& part = host->AddDocument({.name = "P.ipt"});
  host->SetActiveDocument(&part);
  auto document = Use(Use(host->AddInSite()).Application()).ActiveDocument();
  host.reset();
  EXPECT_EQ(Use(document).DocumentType(), document_type::Part);
}

} // namespace
} // namespace vantelo::sim
