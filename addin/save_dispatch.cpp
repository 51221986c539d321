// The save notification: reload the settings and run the enabled writers that
// apply to the active document, in a fixed order.
#include "addin/clsVantelo.h"

namespace vantelo {
void clsVantelo::OnSaveDocument(const Ref<Document>& DocumentObject, std::int32_t BeforeOrAfter,
                                const Ref<HostObject>& Context, std::int32_t& HandlingCode) {
  AppEvents_OnSaveDocument(DocumentObject, BeforeOrAfter, Context, HandlingCode);
}

// Nothing here is protected: the first failure (a host call, a setting that
// does not convert, a writer that fails before its error skipping) ends the
// handler and goes back to the host. The writers work on the application's
// active document, not on DocumentObject; HandlingCode is never written.
void clsVantelo::AppEvents_OnSaveDocument(const Ref<Document>& /*DocumentObject*/,
                                          std::int32_t BeforeOrAfter,
                                          const Ref<HostObject>& /*context*/,
                                          std::int32_t& /*HandlingCode*/) {
  ActiveDoc = Use(HostApplication).ActiveDocument();
  if (BeforeOrAfter != event_timing::Before)
    return;

  std::string IniFile = IniFilePath();
  LoadSettings(IniFile);

  if (EnableTimeStamp)
    TimeStamp();

  // The type is asked anew for every test, after the writers before it ran.
  if (Use(ActiveDoc).DocumentType() == document_type::Drawing) {
    if (EnableViewScale) {
      ViewScale_First();
      ViewScale_All();
    }
    if (EnablePaperSize)
      PaperSize();
  }

  const bool isPart = Use(ActiveDoc).DocumentType() == document_type::Part;
  const bool isAssembly = Use(ActiveDoc).DocumentType() == document_type::Assembly;
  if ((isPart || isAssembly) && EnableMassVolume)
    Mass_Volume();

  if (ActiveDocumentType() == document_type::Part && EnableSheetMetal)
    SheetMetal_Style();
}

// The platform's profile functions take Windows paths; the portable profile
// file reads the backslash as a directory separator.
std::string clsVantelo::IniFilePath() {
  ModulePath& module = *platform_.modulePath;
  return module.Directory() + "\\" + module.BaseName() + ".ini";
}

std::int32_t clsVantelo::ActiveDocumentType() {
  const Ref<Document> document = Use(HostApplication).ActiveDocument();
  return Use(document).DocumentType();
}

} // namespace vantelo
