#include "writers/active_document.h"

#include "addin/failure.h"

namespace vantelo {
namespace {

// An interface query that yields Nothing instead of failing is still a
// document of another kind.
template <class T> Ref<T> Required(Ref<T> queried, const char* what) {
  if (!queried)
    throw Failure(hresult::NoInterface, std::string("The active document is not ") + what);
  return queried;
}

} // namespace

Ref<DrawingDocument> ActiveDrawingDocument(const Ref<Application>& application) {
  const Ref<Document> document = Use(application).ActiveDocument();
  return Required(Use(document).AsDrawingDocument(), "a drawing");
}

Ref<PartDocument> ActivePartDocument(const Ref<Application>& application) {
  const Ref<Document> document = Use(application).ActiveDocument();
  return Required(Use(document).AsPartDocument(), "a part");
}

} // namespace vantelo
