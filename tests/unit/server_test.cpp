// The add-in server operations on the stand-in host: what Automation yields.
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
  host.clearOperations();
  EXPECT_EQ(&addin.Automation(), &addin);
  EXPECT_EQ(pump->count, 1);
  EXPECT_EQ(host.operationCount(), 0u);
}

} // namespace
} // namespace vantelo
