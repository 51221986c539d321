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
  auto& drawing = host.addDocument({.name = "D.idw", .type = document_type::Drawing});
  host.setActiveDocument(&drawing);

  auto site = host.AddInSite();
  auto application = use(site).Application();
  auto copyOfApplication = application; // the same reference
  EXPECT_EQ(host.liveReferencesByInterface(),
            (Counts{{"Application", 1}, {"ApplicationAddInSite", 1}}));

  site.reset();
  auto first = use(application).ActiveDocument();
  auto second = use(application).ActiveDocument(); // a second reference
  auto asDrawing = use(first).AsDrawingDocument();
  EXPECT_EQ(host.liveReferencesByInterface(),
            (Counts{{"Application", 1}, {"Document", 2}, {"DrawingDocument", 1}}));
  EXPECT_EQ(host.liveReferences(), 4u);

  application.reset(); // the copy still holds it
  first.reset();
  asDrawing.reset();
  EXPECT_EQ(host.liveReferencesByInterface(), (Counts{{"Application", 1}, {"Document", 1}}));

  copyOfApplication.reset();
  second.reset();
  EXPECT_EQ(host.liveReferences(), 0u);
  EXPECT_TRUE(host.liveReferencesByInterface().empty());
}

TEST(SimReferences, ATemporaryInAChainIsReleasedAtOnce) {
  Host host;
  auto& part = host.addDocument({.name = "P.ipt"});
  host.setActiveDocument(&part);
  auto application = use(host.AddInSite()).Application();
  const auto type = use(use(application).ActiveDocument()).DocumentType();
  EXPECT_EQ(type, document_type::Part);
  EXPECT_EQ(host.liveReferencesByInterface(), (Counts{{"Application", 1}}));
}

TEST(SimReferences, ConnectionsLiveUntilTheirObjectIsDestroyed) {
  struct Sink : ApplicationEventsSink {
    void OnSaveDocument(const Ref<Document>&, std::int32_t, const Ref<HostObject>&,
                        std::int32_t&) override {}
  } sink;
  Host host;
  auto events = use(use(host.AddInSite()).Application()).ApplicationEvents();
  auto first = use(events).Advise(sink);
  auto second = use(events).Advise(sink);
  EXPECT_EQ(host.liveConnections(), 2u);
  first.reset();
  EXPECT_EQ(host.liveConnections(), 1u);
  second.reset();
  EXPECT_EQ(host.liveConnections(), 0u);
}

TEST(SimReferences, ObjectsStaySafeAfterTheHostIsGone) {
  auto host = std::make_unique<Host>();
  auto& part = host->addDocument({.name = "P.ipt"});
  host->setActiveDocument(&part);
  auto document = use(use(host->AddInSite()).Application()).ActiveDocument();
  host.reset();
  EXPECT_EQ(use(document).DocumentType(), document_type::Part);
}

} // namespace
} // namespace vantelo::sim
