// The add-in's one class. It carries the settings as public data members and
// the work as methods without arguments; the methods talk to each other
// through the members. Its definitions are spread by subject:
//   addin/     server operations, the command, the save dispatch
//   config/    the settings file and the settings catalogue
//   writers/   the document property writers and the scale text
//   partslist/ the parts-list total mass
#pragma once

#include "addin/host_model.h"
#include "platform/services.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vantelo {

class clsVantelo final : private ApplicationEventsSink {
public:
  explicit clsVantelo(PlatformServices platform);
  ~clsVantelo();
  clsVantelo(const clsVantelo&) = delete;
  clsVantelo& operator=(const clsVantelo&) = delete;

  // --- Settings, in declaration order (the order of the class interface). ---
  bool EnableViewScale = false;
  bool EnableSheetMetal = false;
  bool EnableMassVolume = false;
  bool EnablePartsList = false;
  bool EnableTimeStamp = false;
  bool EnablePaperSize = false;
  std::string HowToDisplayFirstViewScale;
  std::string HowToDisplayAllViewScales;
  std::string ListSparator;
  bool ExcludeFirstInAllScales = false;
  bool ShowScaleAsInventor = false;
  std::int16_t ShowScaleAsInventorDecimals = 0;
  std::string FirstViewScalePropertyName;
  std::string AllViewScalesPropertyName;
  std::string SMExtentsSizePropertyName;
  std::string SMThicknessPropertyName;
  std::string SMStylePropertyName;
  std::string SMExtentsSizeIfNotAvailable;
  std::int16_t MassDecimals = 0;
  std::int16_t VolumeDecimals = 0;
  std::string MassPropertyName;
  std::string MassUnitToDisplay;
  std::string VolumePropertyName;
  std::string PaperSizePropertyName;
  std::string SaveTimePropertyName;
  std::string SaveDatePropertyName;
  // Parts-list members: set by clients, never loaded from the settings file.
  std::string TotalMassUnit;
  std::string TotalMassUnitToDisplay;
  std::string TotalMassColumnName;
  std::string MassColumnName;
  std::string QuantityColumnName;
  std::int16_t Decimals = 0;
  std::int16_t SpaceBeforeMassUnit = 0;
  bool SuppressError = false;

  // --- The host's add-in server interface. ---
  void Activate(const Ref<ApplicationAddInSite>& AddInSiteObject, bool FirstTime);
  void Deactivate();
  // The object a client reaches through the host's add-in object: this one.
  clsVantelo& Automation();
  void ExecuteCommand(std::int32_t CommandID);

  // --- Public methods of the class interface. ---
  void Mass_Volume();
  void SheetMetal_Style();
  void PaperSize();
  void TimeStamp();
  // The four texts are passed by reference: on return each holds its text
  // converted to the ANSI code page and back.
  std::string GetFromINI(std::string& sSection, std::string& sKey, std::string& sDefault,
                         std::string& sIniFile);
  bool AddToINI(std::string& sSection, std::string& sKey, std::string& sValue,
                std::string& sIniFile);
  void UpdateTotalMassInPartsList();

  // --- Not on the class interface: what a handled save does first, for
  // programs that host the class themselves (the command-line program). ---
  // The settings file: the module's directory, "\", its base name, ".ini".
  std::string IniFilePath();
  // Loads the file-backed settings in catalogue order, each stored before the
  // next is read; a value that does not convert ends the load with a Failure.
  // The settings file's lock is held for the whole load.
  void LoadSettings(std::string& IniFile);

private:
  friend struct clsVanteloTestAccess;

  // The save notification; reaches the class through the event connection
  // that Activate makes.
  void OnSaveDocument(const Ref<Document>& DocumentObject, std::int32_t BeforeOrAfter,
                      const Ref<HostObject>& Context, std::int32_t& HandlingCode) override;
  void AppEvents_OnSaveDocument(const Ref<Document>& DocumentObject, std::int32_t BeforeOrAfter,
                                const Ref<HostObject>& context, std::int32_t& HandlingCode);

  void ViewScale_First();
  void ViewScale_All();
  std::string ScaleToText(float scale, bool firstView) const;
  // The same with the decimal separator already taken from the regional
  // settings (a writer that makes many texts takes it once).
  std::string ScaleToText(float scale, bool firstView, std::string_view decimalSeparator) const;
  static std::string GetMassUnit(std::string text);

  // Fails unless the settings file's path passes the ANSI code page unchanged.
  void RequireNameableSettingsFile();
  // Whether the text passes the ANSI code page unchanged.
  bool AnsiHolds(const std::string& text);
  // A settings file's path as the profile functions take it; a Failure when
  // the ANSI code page cannot hold it.
  std::string AnsiSettingsPath(const std::string& path);

  // The type code of the application's active document, asked anew.
  std::int32_t ActiveDocumentType();
  // The property set with that format identifier of the application's active
  // document, reached afresh.
  Ref<PropertySet> ActivePropertySet(const char* formatId);

  PlatformServices platform_;
  Ref<Application> HostApplication;
  Ref<Document> ActiveDoc;
  Ref<ApplicationEvents> AppEvents;
  std::unique_ptr<EventConnection> appEventsConnection_;
};

} // namespace vantelo
