// One run of the add-in on the stand-in host: the host holding the scene's
// documents, the add-in on the program's platform services, and the records
// of what came of it.
#pragma once

#include "addin/clsVantelo.h"
#include "cli/recording_profile_file.h"
#include "cli/scene.h"
#include "platform/message_dialogs.h"
#include "simhost/host.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vantelo::cli {

// What an operation of the add-in returned.
struct Outcome {
  bool ok = true;
  std::int32_t code = 0; // the status code of a failure
  std::string message;
};

struct SessionPlatform {
  std::shared_ptr<RegionalSettings> regional;
  std::shared_ptr<Clock> clock;           // none: the system clock
  std::shared_ptr<ModulePath> modulePath; // none: the program's own path
};

class AddinSession {
public:
  // The host takes a copy of the scene's documents; the scene itself stays
  // their state before the run, so it must outlive the session.
  AddinSession(const Scene& scene, SessionPlatform platform);
  ~AddinSession();
  AddinSession(const AddinSession&) = delete;
  AddinSession& operator=(const AddinSession&) = delete;

  // Runs one operation of the add-in; a Failure becomes the outcome.
  Outcome Run(const std::function<void(clsVantelo&)>& operation);

  Outcome Activate();
  // Makes the document active (none: no active document).
  void SetActiveDocument(std::optional<std::size_t> index);
  // One save notification for the active document, as the host sends it.
  Outcome Save(std::int32_t timing);

  sim::Host& Host() { return host_; }
  clsVantelo& Addin() { return *addin_; }
  const std::vector<sim::DocumentData>& DocumentsBefore() const { return before_; }
  // The host's documents as they are now, in the scene's order.
  std::vector<const sim::DocumentData*> DocumentsNow() const;
  std::vector<MessageRecord> MessageBoxes() const { return messages_->Records(); }
  // The settings-file writes that failed (the add-in carries on without them).
  const std::vector<FailedWrite>& FailedWrites() const { return profile_->FailedWrites(); }

private:
  const std::vector<sim::DocumentData>& before_;
  sim::Host host_;
  std::shared_ptr<RecordingMessageDialog> messages_;
  std::shared_ptr<RecordingProfileFile> profile_;
  std::unique_ptr<clsVantelo> addin_;
};

} // namespace vantelo::cli
