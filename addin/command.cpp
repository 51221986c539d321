// The add-in command: command 1 runs the document property writers on the
// active document at once, without the settings file or the enable settings.
#include "addin/clsVantelo.h"

namespace vantelo {

// Every type test asks the application for its active document anew. The
// first failure ends the command; properties already written stay.
void clsVantelo::ExecuteCommand(std::int32_t CommandID) {
  if (CommandID != 1)
    return;

  TimeStamp();

  if (ActiveDocumentType() == document_type::Drawing) {
    ViewScale_First();
    ViewScale_All();
    PaperSize();
  }

  // Both type tests are always made.
  const bool isPart = ActiveDocumentType() == document_type::Part;
  const bool isAssembly = ActiveDocumentType() == document_type::Assembly;
  if (isPart || isAssembly)
    Mass_Volume();

  if (ActiveDocumentType() == document_type::Part)
    SheetMetal_Style();
}

} // namespace vantelo
