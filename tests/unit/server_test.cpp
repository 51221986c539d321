// The add-in server operations on the stand-in host: what Automation yields,
// and an activation refused where the settings file cannot be named.
#include "addin/clsVantelo.h"
#include "platform/module_path.h"
#include "platform/portable_platform.h"
#include "simhost/host.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vantelo {
namespace {

class CountingMessagePump final : public MessagePump {
public:
  void ProcessWaitingMessages() override { ++count; }
  int count = 0;
};

PlatformServices Platform(const std::string& directory,
                          std::shared_ptr<MessagePump> pump = nullptr) {
  PortablePlatformOptions options;
  options.modulePath = std::make_shared<FixedModulePath>(directory, "Vantelo");
  options.messagePump = std::move(pump);
  return PortablePlatform(std::move(options));
}

TEST(Server, AutomationYieldsTheObjectItselfAfterProcessingMessages) {
  auto pump = std::make_shared<CountingMessagePump>();
  sim::Host host;
  clsVantelo addin(Platform("/opt/vantelo", pump));
  addin.Activate(host.AddInSite(), true);
  host.ClearOperations();
  EXPECT_EQ(&addin.Automation(), &addin);
  EXPECT_EQ(pump->count, 1);
  EXPECT_EQ(host.OperationCount(), 0u);
}

TEST(Server, ActivationNeedsASettingsFilePathThatTheCodePageHolds) {
  const struct {
    const char* directory;
    bool activates;
  } cases[] = {
      {"/opt/Gr\xC3\xBC\xC3\x9F"
       "e",
       true},                        // u-umlaut and sharp s: in Windows-1252
      {"/opt/\xCE\xA9", false},      // Greek omega: not in it
      {"/opt/a\xE2\x98\x83", false}, // a snowman
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.directory);
    sim::Host host;
    clsVantelo addin(Platform(test.directory));
    try {
      addin.Activate(host.AddInSite(), true);
      EXPECT_TRUE(test.activates);
    } catch (const Failure& failure) {
      EXPECT_FALSE(test.activates);
      EXPECT_EQ(failure.Code(), hresult::NoUnicodeTranslation);
      EXPECT_NE(std::string(failure.what()).find(std::string(test.directory) + "\\Vantelo.ini"),
                std::string::npos)
          << failure.what();
      // Refused before the host was asked for anything.
      EXPECT_EQ(host.OperationCount(), 0u);
    }
  }
}

} // namespace
} // namespace vantelo
