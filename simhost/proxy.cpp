#include "simhost/proxy.h"

#include "addin/failure.h"

namespace vantelo::sim {

std::shared_ptr<DocumentData> DocumentBound::OpenDocument() const {
  auto document = document_.lock();
  if (!document)
    throw Failure(status::Disconnected, "the document of this object is no longer open");
  return document;
}

} // namespace vantelo::sim
