#include "cli/addin_session.h"

#include "cli/program_platform.h"

namespace vantelo::cli {

AddinSession::AddinSession(const Scene& scene, SessionPlatform platform)
    : before_(scene.documents), messages_(std::make_shared<RecordingMessageDialog>()),
      profile_(std::make_shared<RecordingProfileFile>()) {
  for (const sim::DocumentData& document : scene.documents)
    host_.AddDocument(document);
  SetActiveDocument(scene.active);

  PlatformChoice choice;
  choice.regional = std::move(platform.regional);
  choice.clock = std::move(platform.clock);
  choice.modulePath = std::move(platform.modulePath);
  choice.messageBox = messages_;
  choice.profile = profile_;
  addin_ = std::make_unique<clsVantelo>(ProgramPlatform(std::move(choice)));
}

// The add-in goes before the host, as in the host's process.
AddinSession::~AddinSession() { addin_.reset(); }

Outcome AddinSession::Run(const std::function<void(clsVantelo&)>& operation) {
  try {
    operation(*addin_);
  } catch (const Failure& failure) {
    return Outcome{false, failure.Code(), failure.what()};
  }
  return Outcome{};
}

Outcome AddinSession::Activate() {
  return Run([this](clsVantelo& addin) { addin.Activate(host_.AddInSite(), true); });
}

void AddinSession::SetActiveDocument(std::optional<std::size_t> index) {
  host_.SetActiveDocument(index ? &host_.Document(*index) : nullptr);
}

Outcome AddinSession::Save(std::int32_t timing) {
  const sim::SaveOutcome outcome = host_.FireSaveDocument(host_.ActiveDocument(), timing, 0);
  if (outcome.succeeded)
    return Outcome{};
  return Outcome{false, outcome.code, outcome.message};
}

std::vector<const sim::DocumentData*> AddinSession::DocumentsNow() const {
  std::vector<const sim::DocumentData*> documents;
  for (std::size_t i = 0; i < host_.DocumentCount(); ++i)
    documents.push_back(&host_.Document(i));
  return documents;
}

} // namespace vantelo::cli
