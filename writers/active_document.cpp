#include "writers/active_document.h"

#include "addin/failure.h"

namespace vantelo {
namespace {

// An interface query that yields Nothing instead of failing is still a
// document of another kind.
template <class T> Ref<T> required(Ref<T> queried, const char* what) {
  if (!queried)
    throw Failure(hresult::NoInterface, std::string("The active document is not ") + what);
  return queried;
}

} // namespace

Ref<DrawingDocument> ActiveDrawingDocument(const Ref<Application>& application) {
  const Ref<Document> document = use(application).ActiveDocument();
  return required(use(document).AsDrawingDocument(), "a drawing");
}

Ref<PartDocument> ActivePartDocument(const Ref<Application>& application) {
  const Ref<Document> document = use(application).ActiveDocument();
  return required(use(document).AsPartDocument(), "a part");
}

} // namespace vantelo
