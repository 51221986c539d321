// The application's active document, asked anew and taken as the kind of
// document a writer works on. The interface query fails for any other kind of
// document, and so does a missing active document: the writers that use these
// read the document before their error skipping starts, so either failure
// ends the writer and reaches its caller.
#pragma once

#include "addin/host_model.h"

namespace vantelo {

Ref<DrawingDocument> ActiveDrawingDocument(const Ref<Application>& application);
Ref<PartDocument> ActivePartDocument(const Ref<Application>& application);

} // namespace vantelo
