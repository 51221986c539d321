// The module as the host runs it, on the COM stand-in host: activation and
// the event connection, save notifications on each kind of document, the
// command, the parts-list update, the event sink's argument checks, the
// host operations compared with the core run directly, and every host
// reference released with the add-in.
#include "addin/clsVantelo.h"
#include "addin_session.h"
#include "check.h"
#include "com_host/variant_values.h"
#include "platform/windows/windows_services.h"
#include "test_groups.h"

#include <oleauto.h>

namespace vtest {

namespace {

namespace sim = vantelo::sim;
using vantelo::document_type::Assembly;
using vantelo::document_type::Drawing;
using vantelo::document_type::Part;

std::string decimalSeparator() {
  wchar_t text[8] = {};
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text, 8);
  return comhost::utf8(text, wcslen(text));
}

std::string number(const char* withPoint) {
  std::string text = withPoint;
  if (const auto point = text.find('.'); point != std::string::npos)
    text.replace(point, 1, decimalSeparator());
  return text;
}

// The documents of every test world.
sim::DocumentData plainPart() {
  return {.name = "Plain.ipt",
          .type = Part,
          .subType = vantelo::subtype::Part,
          .massProperties = sim::MassPropertiesData{.mass = 1.23456, .volume = 123.456}};
}

sim::DocumentData sheetMetalPart() {
  return {.name = "Bent.ipt",
          .type = Part,
          .subType = vantelo::subtype::SheetMetalPart,
          .massProperties = sim::MassPropertiesData{.mass = 2.0, .volume = 250.0},
          .sheetMetal = sim::SheetMetalData{
              .thickness = 0.15,
              .thicknessUnits = "mm",
              .styleName = "Steel 1.5",
              .flatPattern = sim::FlatPatternData{.minPoint = {0, 0, 0}, .maxPoint = {10, 5, 0}}}};
}

sim::DocumentData assembly() {
  return {.name = "Frame.iam",
          .type = Assembly,
          .massProperties = sim::MassPropertiesData{.mass = 12.0, .volume = 1000.0}};
}

sim::DocumentData drawing() {
  return {.name = "Frame.idw",
          .type = Drawing,
          .sheets = {{.size = 9996, .viewScales = {0.5, 0.25}},
                     {.size = 9994,
                      .viewScales = {1.0, 0.5},
                      .partsLists = {{.columns = {"QTY", "MASS", "TOTAL"},
                                      .rows = {{"4", number("2.5") + " kg", ""},
                                               {"3 pcs", "250 g", ""}}}}}},
          .activeSheet = 1,
          .propertySets = [] {
            auto sets = sim::DefaultPropertySets();
            sets[0].properties.Add("TotalMass", std::string());
            return sets;
          }()};
}

sim::DocumentData presentation() { return {.name = "Show.ipn", .type = 12293}; }

void activation(const Environment& environment) {
  AddinSession session(environment);
  if (!session.server)
    return;
  CHECK_OK(session.activate(true));
  const std::vector<std::string> expected = {"ApplicationAddInSite.Application",
                                             "Application.ApplicationEvents",
                                             "ApplicationEvents.Advise"};
  CHECK(session.host.Operations() == expected);
  CHECK_EQ(session.host.LiveConnections(), 1u);
  // A second activation reconnects; the first connection is released.
  CHECK_OK(session.activate(false));
  CHECK_EQ(session.host.LiveConnections(), 1u);
  CHECK_EQ(session.world->connections(), 1u);

  // After Deactivate the saves are still handled.
  CHECK_OK(session.server->Deactivate());
  session.writeSettings("[Global Options]\r\nEnableTimeStamp=True\r\n");
  auto& part = session.host.AddDocument(plainPart());
  CHECK(session.save(part).succeeded);
  CHECK(userProperty(part, "SaveTime") != "<missing>");

  IDispatch* automation = reinterpret_cast<IDispatch*>(1);
  CHECK_OK(session.server->get_Automation(&automation));
  CHECK(automation == nullptr);

  // A host that gives no application: the host's code comes back.
  session.host.FailOperation("ApplicationAddInSite.Application", E_ACCESSDENIED);
  CHECK_HR(session.activate(false), E_ACCESSDENIED);
  session.host.ClearFaults();
  session.releaseAddin();
}

void savesOnEachKindOfDocument(const Environment& environment) {
  AddinSession session(environment);
  if (!session.server)
    return;
  session.enableAllWriters();
  CHECK_OK(session.activate());
  auto& part = session.host.AddDocument(plainPart());
  auto& bent = session.host.AddDocument(sheetMetalPart());
  auto& frame = session.host.AddDocument(assembly());
  auto& sheets = session.host.AddDocument(drawing());
  auto& show = session.host.AddDocument(presentation());

  for (sim::DocumentData* document : {&part, &bent, &frame, &sheets, &show}) {
    const sim::SaveOutcome outcome = session.save(*document, 4097, 7);
    if (!outcome.succeeded)
      reportFailure(__FILE__, __LINE__, "save of " + document->name + ": " + outcome.message);
    CHECK_EQ(outcome.handlingCode, 7); // never written
    CHECK(userProperty(*document, "SaveTime").size() == 5);
    const auto* date = document->Property(vantelo::fmtid::UserDefined, "SaveDate");
    CHECK(date && std::holds_alternative<vantelo::Date>(date->value));
  }
  CHECK_EQ(userProperty(part, "TotalMass"), number("1.23") + " kg");
  CHECK_EQ(userProperty(part, "TotalVolume"), "123456 mm^3");
  CHECK_EQ(userProperty(part, "SM_Style"), "<missing>");
  CHECK_EQ(userProperty(bent, "SM_Thickness"), number("1.5") + " mm");
  CHECK_EQ(userProperty(bent, "SM_Style"), "Steel 1.5");
  // The extents are the host's own length texts.
  CHECK_EQ(userProperty(bent, "SM_Extents"), "100.00 mm x 50.00 mm");
  CHECK_EQ(userProperty(frame, "TotalMass"), "12 kg");
  CHECK_EQ(userProperty(sheets, "FirstViewScale"), "1:2");
  CHECK_EQ(userProperty(sheets, "AllViewScales"), "1:1 1:4");
  CHECK_EQ(userProperty(sheets, "PaperSize"), "A3");
  CHECK_EQ(userProperty(show, "TotalMass"), "<missing>");

  // Any other timing code only refreshes the active document.
  session.host.ClearOperations();
  const sim::SaveOutcome after = session.save(part, 4098, 3);
  CHECK(after.succeeded);
  CHECK_EQ(after.handlingCode, 3);
  CHECK(session.host.Operations() == std::vector<std::string>{"Application.ActiveDocument"});

  // A failure reaches the host as the notification's result, with its code
  // and description: an enable setting that is not a Boolean.
  session.writeSettings("[Global Options]\r\nEnableViewScale=yes\r\n");
  const sim::SaveOutcome refused = session.save(part);
  CHECK(!refused.succeeded);
  CHECK_HR(refused.code, 0x800A000D);
  CHECK(!refused.message.empty());
  session.releaseAddin();
}

void command(const Environment& environment) {
  AddinSession session(environment);
  if (!session.server)
    return;
  session.enableAllWriters();
  CHECK_OK(session.activate());
  auto& part = session.host.AddDocument(plainPart());
  CHECK(session.save(part).succeeded); // loads the settings
  auto& sheets = session.host.AddDocument(drawing());
  session.host.SetActiveDocument(&sheets);

  session.host.ClearOperations();
  for (LONG other : {0L, 2L, -1L})
    CHECK_OK(session.server->ExecuteCommand(other));
  CHECK_EQ(session.host.OperationCount(), 0u);

  CHECK_OK(session.server->ExecuteCommand(1));
  CHECK_EQ(userProperty(sheets, "FirstViewScale"), "1:2");
  CHECK_EQ(userProperty(sheets, "PaperSize"), "A3");
  CHECK(userProperty(sheets, "SaveTime") != "<missing>");

  // Through the host's IDispatch of the add-in server interface as well.
  Variant id = longVariant(1);
  session.host.SetActiveDocument(&part);
  CHECK_OK(invokeByName(session.server.get(), L"ExecuteCommand", DISPATCH_METHOD, {id.get()}).hr);
  session.releaseAddin();
}

void partsList(const Environment& environment) {
  AddinSession session(environment);
  if (!session.server)
    return;
  CHECK_OK(session.activate());
  auto& sheets = session.host.AddDocument(drawing());
  session.host.SetActiveDocument(&sheets);
  struct {
    const wchar_t* name;
    Variant (*value)();
  } const settings[] = {
      {L"TotalMassUnit", [] { return textVariant(L"kg"); }},
      {L"TotalMassUnitToDisplay", [] { return textVariant(L"kg"); }},
      {L"TotalMassColumnName", [] { return textVariant(L"TOTAL"); }},
      {L"MassColumnName", [] { return textVariant(L"MASS"); }},
      {L"QuantityColumnName", [] { return textVariant(L"QTY"); }},
      {L"Decimals", [] { return longVariant(2); }},
      {L"SpaceBeforeMassUnit", [] { return longVariant(1); }},
      {L"SuppressError", [] { return boolVariant(true); }},
  };
  for (const auto& setting : settings) {
    Variant value = setting.value();
    setProperty(session.addin.get(), setting.name, value.get());
  }
  CHECK_OK(invokeByName(session.addin.get(), L"UpdateTotalMassInPartsList", DISPATCH_METHOD).hr);
  const auto& rows = sheets.sheets[1].partsLists[0].rows;
  CHECK_EQ(rows[0][2], "10 kg");
  CHECK_EQ(rows[1][2], number("0.75") + " kg");
  CHECK_EQ(userProperty(sheets, "TotalMass"), number("10.75") + " kg");
  CHECK_EQ(session.host.StatusBarText(),
           std::string("Updating Totalmass in the Parts List, Please wait."));

  // A column that is not there: the failure path without a message box
  // (suppressed) empties the drawing's total and reports success.
  Variant missing = textVariant(L"NO SUCH COLUMN");
  setProperty(session.addin.get(), L"QuantityColumnName", missing.get());
  CHECK_OK(invokeByName(session.addin.get(), L"UpdateTotalMassInPartsList", DISPATCH_METHOD).hr);
  CHECK_EQ(userProperty(sheets, "TotalMass"), "");
  session.releaseAddin();
}

// The sink's answers to what the host may send.
void eventSinkArguments(const Environment& environment) {
  AddinSession session(environment);
  if (!session.server)
    return;
  CHECK_OK(session.activate());
  DISPPARAMS none = {};
  // Every other event succeeds without doing anything.
  session.host.ClearOperations();
  CHECK_OK(session.world->invokeSinks(0x3000611, none, nullptr));
  CHECK_EQ(session.host.OperationCount(), 0u);

  auto& part = session.host.AddDocument(plainPart());
  session.host.SetActiveDocument(&part);
  LONG handling = 5;
  VARIANTARG arguments[4];
  for (VARIANTARG& argument : arguments)
    VariantInit(&argument);
  V_VT(&arguments[3]) = VT_DISPATCH; // DocumentObject: Nothing will do
  V_DISPATCH(&arguments[3]) = nullptr;
  V_VT(&arguments[2]) = VT_I4;
  V_I4(&arguments[2]) = 4098;
  V_VT(&arguments[1]) = VT_DISPATCH;
  V_DISPATCH(&arguments[1]) = nullptr;
  V_VT(&arguments[0]) = VT_I4 | VT_BYREF;
  V_I4REF(&arguments[0]) = &handling;

  DISPPARAMS three = {&arguments[1], nullptr, 3, 0};
  CHECK_HR(session.world->invokeSinks(0x3000612, three, nullptr), DISP_E_BADPARAMCOUNT);
  DISPPARAMS four = {arguments, nullptr, 4, 0};
  CHECK_OK(session.world->invokeSinks(0x3000612, four, nullptr));
  CHECK_EQ(handling, 5L);
  // The handling code must come by reference.
  V_VT(&arguments[0]) = VT_I4;
  V_I4(&arguments[0]) = 5;
  CHECK_HR(session.world->invokeSinks(0x3000612, four, nullptr), DISP_E_TYPEMISMATCH);
  // A failure comes back as DISP_E_EXCEPTION with the code in EXCEPINFO.
  V_VT(&arguments[0]) = VT_I4 | VT_BYREF;
  V_I4REF(&arguments[0]) = &handling;
  V_I4(&arguments[2]) = 4097;
  session.writeSettings("[Global Options]\r\nEnableTimeStamp=maybe\r\n");
  EXCEPINFO exception = {};
  CHECK_HR(session.world->invokeSinks(0x3000612, four, &exception), DISP_E_EXCEPTION);
  CHECK_HR(exception.scode, 0x800A000D);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  session.releaseAddin();
}

// One thing the host or a client does to the add-in, done through COM and
// done to the core directly; each gives the status code it ended with.
struct Scenario {
  const char* what;
  sim::DocumentData (*document)();
  HRESULT (*overCom)(AddinSession&, sim::DocumentData&);
  HRESULT (*directly)(vantelo::clsVantelo&, sim::Host&, sim::DocumentData&);
};

HRESULT saveOutcome(const sim::SaveOutcome& outcome) {
  return outcome.succeeded ? S_OK : outcome.code;
}

template <class Call> HRESULT directCall(Call&& call) {
  try {
    call();
    return S_OK;
  } catch (const vantelo::Failure& failure) {
    return failure.Code();
  }
}

HRESULT saveOverCom(AddinSession& session, sim::DocumentData& document) {
  return saveOutcome(session.save(document));
}

HRESULT saveDirectly(vantelo::clsVantelo&, sim::Host& host, sim::DocumentData& document) {
  host.SetActiveDocument(&document);
  return saveOutcome(host.FireSaveDocument(&document, 4097, 0));
}

HRESULT commandOverCom(AddinSession& session, sim::DocumentData& document) {
  session.host.SetActiveDocument(&document);
  return session.server->ExecuteCommand(1);
}

HRESULT commandDirectly(vantelo::clsVantelo& addin, sim::Host& host, sim::DocumentData& document) {
  host.SetActiveDocument(&document);
  return directCall([&] { addin.ExecuteCommand(1); });
}

HRESULT partsListOverCom(AddinSession& session, sim::DocumentData& document) {
  session.host.SetActiveDocument(&document);
  // Called by name, as a macro does: a failure comes as an exception.
  const DispatchResult result =
      invokeByName(session.addin.get(), L"UpdateTotalMassInPartsList", DISPATCH_METHOD);
  return result.hr == DISP_E_EXCEPTION ? result.exception.scode : result.hr;
}

HRESULT partsListDirectly(vantelo::clsVantelo& addin, sim::Host& host,
                          sim::DocumentData& document) {
  host.SetActiveDocument(&document);
  return directCall([&] { addin.UpdateTotalMassInPartsList(); });
}

// The core run directly on a twin world, with the module's platform services
// but its settings file in the session's directory.
class DirectModulePath final : public vantelo::ModulePath {
public:
  explicit DirectModulePath(std::string directory) : directory_(std::move(directory)) {}
  std::string Directory() override { return directory_; }
  std::string BaseName() override { return "Vantelo"; }

private:
  std::string directory_;
};

// Each host operation of the core must be exactly one call through COM, and
// a failing host call must end the add-in's work with the same code through
// COM as directly: every scenario runs on both, first without faults, then
// once with each of its host operations failing in turn.
void sameHostOperations(const Environment& environment) {
  AddinSession session(environment);
  if (!session.server)
    return;
  session.enableAllWriters();
  const std::wstring settings = session.settingsPath();
  const std::wstring directory = settings.substr(0, settings.rfind(L'\\'));
  sim::Host twin;
  vantelo::PlatformServices services = vantelo::win::windowsPlatformServices();
  services.modulePath =
      std::make_shared<DirectModulePath>(comhost::utf8(directory.c_str(), directory.size()));
  auto direct = std::make_unique<vantelo::clsVantelo>(services);

  CHECK_OK(session.activate());
  direct->Activate(twin.AddInSite(), true);
  // The parts-list members, set alike on both.
  for (const auto& [name, text] : {std::pair{L"TotalMassUnit", "kg"},
                                   {L"MassColumnName", "MASS"},
                                   {L"QuantityColumnName", "QTY"},
                                   {L"TotalMassColumnName", "TOTAL"}}) {
    Variant value = textVariant(comhost::wide(text));
    setProperty(session.addin.get(), name, value.get());
  }
  direct->TotalMassUnit = "kg";
  direct->MassColumnName = "MASS";
  direct->QuantityColumnName = "QTY";
  direct->TotalMassColumnName = "TOTAL";
  Variant suppress = boolVariant(true);
  setProperty(session.addin.get(), L"SuppressError", suppress.get());
  direct->SuppressError = true;

  const Scenario scenarios[] = {
      {"save", plainPart, saveOverCom, saveDirectly},
      {"save", sheetMetalPart, saveOverCom, saveDirectly},
      {"save", assembly, saveOverCom, saveDirectly},
      {"save", drawing, saveOverCom, saveDirectly},
      {"save", presentation, saveOverCom, saveDirectly},
      {"command", plainPart, commandOverCom, commandDirectly},
      {"command", sheetMetalPart, commandOverCom, commandDirectly},
      {"command", drawing, commandOverCom, commandDirectly},
      {"parts-list update", drawing, partsListOverCom, partsListDirectly},
  };
  constexpr std::int32_t HostFault = static_cast<std::int32_t>(0x80041234);
  for (const Scenario& scenario : scenarios) {
    auto& overCom = session.host.AddDocument(scenario.document());
    auto& directly = twin.AddDocument(scenario.document());
    const std::string what = std::string(scenario.what) + " of " + overCom.name;
    for (std::uint64_t failing = 0;; ++failing) {
      session.host.ClearOperations();
      twin.ClearOperations();
      if (failing > 0) {
        session.host.FailOperationNumber(failing, HostFault);
        twin.FailOperationNumber(failing, HostFault);
      }
      const HRESULT comResult = scenario.overCom(session, overCom);
      const HRESULT directResult = scenario.directly(*direct, twin, directly);
      session.host.ClearFaults();
      twin.ClearFaults();
      const std::string run =
          what + (failing ? ", host operation " + std::to_string(failing) + " failing" : "");
      if (session.host.Operations() != twin.Operations())
        reportFailure(__FILE__, __LINE__,
                      run + ": " + std::to_string(session.host.OperationCount()) +
                          " host operations through COM, " + std::to_string(twin.OperationCount()) +
                          " directly");
      if (comResult != directResult)
        reportFailure(__FILE__, __LINE__,
                      run + ": " + hexCode(comResult) + " through COM, " + hexCode(directResult) +
                          " directly");
      if (failing >= twin.OperationCount())
        break;
    }
  }
  // Both did the work, not merely failed alike.
  CHECK(twin.Document(0).Property(vantelo::fmtid::UserDefined, "SaveTime") != nullptr);
  CHECK(session.host.Document(0).Property(vantelo::fmtid::UserDefined, "SaveTime") != nullptr);
  direct.reset();
  session.releaseAddin();
}

} // namespace

void activationTests(const Environment& environment) { activation(environment); }
void saveTests(const Environment& environment) { savesOnEachKindOfDocument(environment); }
void commandTests(const Environment& environment) { command(environment); }
void partsListTests(const Environment& environment) { partsList(environment); }
void eventSinkTests(const Environment& environment) { eventSinkArguments(environment); }
void hostOperationTests(const Environment& environment) { sameHostOperations(environment); }

} // namespace vtest
