#include "simhost/host.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace vantelo::sim {
namespace {

using Counts = std::map<std::string, std::size_t>;

// A sink that notes what it was given and then runs a test's action.
struct RecordingSink : ApplicationEventsSink {
  void OnSaveDocument(const Ref<Document>& document, std::int32_t timing,
                      const Ref<HostObject>& context, std::int32_t& handlingCode) override {
    ++calls;
    hadDocument = document != nullptr;
    documentType = document ? document->DocumentType() : 0;
    hadContext = context != nullptr;
    lastTiming = timing;
    handlingCodeIn = handlingCode;
    if (action)
      action(document, handlingCode);
  }

  int calls = 0;
  bool hadDocument = false;
  std::int32_t documentType = 0;
  bool hadContext = false;
  std::int32_t lastTiming = 0;
  std::int32_t handlingCodeIn = 0;
  std::function<void(const Ref<Document>&, std::int32_t&)> action;
};

class SimSaveNotification : public ::testing::Test {
protected:
  SimSaveNotification() {
    drawing_ = &host_.AddDocument({.name = "D.idw", .type = document_type::Drawing});
    events_ = Use(Use(host_.AddInSite()).Application()).ApplicationEvents();
  }

  Host host_;
  DocumentData* drawing_ = nullptr;
  Ref<ApplicationEvents> events_;
};

TEST_F(SimSaveNotification, DeliversTheDocumentAndContextAndReleasesThemAfterwards) {
  RecordingSink sink;
  Counts duringCall;
  sink.action = [&](const Ref<Document>&, std::int32_t& handlingCode) {
    duringCall = host_.LiveReferencesByInterface();
    handlingCode = 7;
  };
  const auto connection = Use(events_).Advise(sink);

  const auto outcome = host_.FireSaveDocument(drawing_, event_timing::Before, 3);
  EXPECT_TRUE(outcome.succeeded);
  EXPECT_EQ(outcome.sinksNotified, 1u);
  EXPECT_EQ(outcome.handlingCode, 7);
  EXPECT_EQ(sink.handlingCodeIn, 3);
  EXPECT_EQ(sink.lastTiming, event_timing::Before);
  EXPECT_TRUE(sink.hadDocument);
  EXPECT_EQ(sink.documentType, document_type::Drawing);
  EXPECT_TRUE(sink.hadContext);
  EXPECT_EQ(duringCall, (Counts{{"ApplicationEvents", 1}, {"Context", 1}, {"Document", 1}}));
  EXPECT_EQ(host_.LiveReferencesByInterface(), (Counts{{"ApplicationEvents", 1}}));
}

TEST_F(SimSaveNotification, WithoutADocumentTheSinkGetsNothing) {
  RecordingSink sink;
  const auto connection = Use(events_).Advise(sink);
  host_.FireSaveDocument(nullptr, event_timing::Before, 0);
  EXPECT_EQ(sink.calls, 1);
  EXPECT_FALSE(sink.hadDocument);
}

TEST_F(SimSaveNotification, AReferenceTheSinkKeepsStaysCounted) {
  RecordingSink sink;
  Ref<Document> kept;
  sink.action = [&](const Ref<Document>& document, std::int32_t&) { kept = document; };
  const auto connection = Use(events_).Advise(sink);
  host_.FireSaveDocument(drawing_, event_timing::Before, 0);
  EXPECT_EQ(host_.LiveReferencesByInterface(), (Counts{{"ApplicationEvents", 1}, {"Document", 1}}));
}

TEST_F(SimSaveNotification, ReportsTheFirstFailureAndStillNotifiesTheOtherSinks) {
  RecordingSink failing, other;
  failing.action = [](const Ref<Document>&, std::int32_t&) {
    throw Failure(hresult::TypeMismatch, "bad setting");
  };
  const auto first = Use(events_).Advise(failing);
  const auto second = Use(events_).Advise(other);
  const auto outcome = host_.FireSaveDocument(drawing_, event_timing::Before, 5);
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.code, hresult::TypeMismatch);
  EXPECT_EQ(outcome.message, "bad setting");
  EXPECT_EQ(outcome.handlingCode, 5);
  EXPECT_EQ(other.calls, 1);
  EXPECT_EQ(host_.LiveReferencesByInterface(), (Counts{{"ApplicationEvents", 1}}));
}

TEST_F(SimSaveNotification, DisconnectedSinksAreNotCalled) {
  RecordingSink first, second;
  auto firstConnection = Use(events_).Advise(first);
  auto secondConnection = Use(events_).Advise(second);
  // The first sink disconnects the second during the notification.
  first.action = [&](const Ref<Document>&, std::int32_t&) { secondConnection.reset(); };
  EXPECT_EQ(host_.FireSaveDocument(drawing_, event_timing::Before, 0).sinksNotified, 1u);
  EXPECT_EQ(second.calls, 0);

  firstConnection.reset();
  EXPECT_EQ(host_.FireSaveDocument(drawing_, event_timing::Before, 0).sinksNotified, 0u);
  EXPECT_EQ(first.calls, 1);
}

TEST_F(SimSaveNotification, RefusesADocumentOfAnotherHost) {
  Host other;
  auto& foreign = other.AddDocument({.name = "F.ipt"});
  EXPECT_THROW(host_.FireSaveDocument(&foreign, event_timing::Before, 0), Failure);
}

} // namespace
} // namespace vantelo::sim
