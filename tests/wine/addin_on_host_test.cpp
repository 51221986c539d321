// The module as the host runs it, on the COM stand-in host: activation and
// the event connection, save notifications on each kind of document, the
// command, the parts-list update, the event sink's argument checks, the
// host operations compared with the core run directly, and every host
// reference released with the add-in.
#include "addin/clsVantelo.h"
#include "addin_session.h"
#include "com_host/variant_values.h"
#include "platform/windows/windows_services.h"

#include <oleauto.h>

namespace vtest {

namespace {

namespace sim = vantelo::sim;
using vantelo::document_type::Assembly;
using vantelo::document_type::Drawing;
using vantelo::document_type::Part;

using AddinOnHost = AddinOnHostTest;

std::string DecimalSeparator() {
  wchar_t text[8] = {};
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text, 8);
  return comhost::Utf8(text, wcslen(text));
}

std::string Number(const char* withPoint) {
  std::string text = withPoint;
  if (const auto point = text.find('.'); point != std::string::npos)
    text.replace(point, 1, DecimalSeparator());
  return text;
}

// The documents of every test world.
sim::DocumentData PlainPart() {
  return {.name = "Plain.ipt",
          .type = Part,
          .subType = vantelo::subtype::Part,
          .massProperties = sim::MassPropertiesData{.mass = 1.23456, .volume = 123.456}};
}

sim::DocumentData BentPart() {
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

sim::DocumentData FrameAssembly() {
  return {.name = "Frame.iam",
          .type = Assembly,
          .massProperties = sim::MassPropertiesData{.mass = 12.0, .volume = 1000.0}};
}

sim::DocumentData FrameDrawing() {
  return {.name = "Frame.idw",
          .type = Drawing,
          .sheets = {{.size = vantelo::PaperSizeCodeOf("A3"), .viewScales = {0.5, 0.25}},
                     {.size = vantelo::PaperSizeCodeOf("A1"),
                      .viewScales = {1.0, 0.5},
                      .partsLists = {{.columns = {"QTY", "MASS", "TOTAL"},
                                      .rows = {{"4", Number("2.5") + " kg", ""},
                                               {"3 pcs", "250 g", ""}}}}}},
          .activeSheet = 1,
          .propertySets = [] {
            auto sets = sim::DefaultPropertySets();
            sets[0].properties.Add("TotalMass", std::string());
            return sets;
          }()};
}

sim::DocumentData ShowPresentation() {
  return {.name = "Show.ipn", .type = vantelo::document_type::Presentation};
}

TEST_F(AddinOnHost, ActivationConnectsAndReconnectsTheEvents) {
  EXPECT_OK(Activate(true));
  const std::vector<std::string> expected = {"ApplicationAddInSite.Application",
                                             "Application.ApplicationEvents",
                                             "ApplicationEvents.Advise"};
  EXPECT_EQ(host_.Operations(), expected);
  EXPECT_EQ(host_.LiveConnections(), 1u);
  // A second activation reconnects; the first connection is released.
  EXPECT_OK(Activate(false));
  EXPECT_EQ(host_.LiveConnections(), 1u);
  EXPECT_EQ(world_->Connections(), 1u);

  // After Deactivate the saves are still handled.
  EXPECT_OK(server_->Deactivate());
  WriteSettings("[Global Options]\r\nEnableTimeStamp=True\r\n");
  auto& part = host_.AddDocument(PlainPart());
  EXPECT_TRUE(Save(part).succeeded);
  EXPECT_NE(UserProperty(part, "SaveTime"), "<missing>");

  IDispatch* automation = reinterpret_cast<IDispatch*>(1);
  EXPECT_OK(server_->get_Automation(&automation));
  EXPECT_EQ(automation, nullptr);

  // A host that gives no application: the host's code comes back.
  host_.FailOperation("ApplicationAddInSite.Application", E_ACCESSDENIED);
  EXPECT_HR(Activate(false), E_ACCESSDENIED);
  host_.ClearFaults();
}

TEST_F(AddinOnHost, SavesWriteEachKindOfDocument) {
  EnableAllWriters();
  EXPECT_OK(Activate());
  auto& part = host_.AddDocument(PlainPart());
  auto& bent = host_.AddDocument(BentPart());
  auto& frame = host_.AddDocument(FrameAssembly());
  auto& sheets = host_.AddDocument(FrameDrawing());
  auto& show = host_.AddDocument(ShowPresentation());

  for (sim::DocumentData* document : {&part, &bent, &frame, &sheets, &show}) {
    const sim::SaveOutcome outcome = Save(*document, vantelo::event_timing::Before, 7);
    SCOPED_TRACE(document->name);
    EXPECT_TRUE(outcome.succeeded) << outcome.message;
    EXPECT_EQ(outcome.handlingCode, 7); // never written
    EXPECT_EQ(UserProperty(*document, "SaveTime").size(), 5u);
    const auto* date = document->Property(vantelo::fmtid::UserDefined, "SaveDate");
    EXPECT_TRUE(date && std::holds_alternative<vantelo::Date>(date->value));
  }
  EXPECT_EQ(UserProperty(part, "TotalMass"), Number("1.23") + " kg");
  EXPECT_EQ(UserProperty(part, "TotalVolume"), "123456 mm^3");
  EXPECT_EQ(UserProperty(part, "SM_Style"), "<missing>");
  EXPECT_EQ(UserProperty(bent, "SM_Thickness"), Number("1.5") + " mm");
  EXPECT_EQ(UserProperty(bent, "SM_Style"), "Steel 1.5");
  // The extents are the host's own length texts.
  EXPECT_EQ(UserProperty(bent, "SM_Extents"), "100.00 mm x 50.00 mm");
  EXPECT_EQ(UserProperty(frame, "TotalMass"), "12 kg");
  EXPECT_EQ(UserProperty(sheets, "FirstViewScale"), "1:2");
  EXPECT_EQ(UserProperty(sheets, "AllViewScales"), "1:1 1:4");
  EXPECT_EQ(UserProperty(sheets, "PaperSize"), "A3");
  EXPECT_EQ(UserProperty(show, "TotalMass"), "<missing>");

  // Any other timing code only refreshes the active document.
  host_.ClearOperations();
  const sim::SaveOutcome after = Save(part, 4098, 3);
  EXPECT_TRUE(after.succeeded);
  EXPECT_EQ(after.handlingCode, 3);
  EXPECT_EQ(host_.Operations(), std::vector<std::string>{"Application.ActiveDocument"});

  // A failure reaches the host as the notification's result, with its code
  // and description: an enable setting that is not a Boolean.
  WriteSettings("[Global Options]\r\nEnableViewScale=yes\r\n");
  const sim::SaveOutcome refused = Save(part);
  EXPECT_TRUE(!refused.succeeded);
  EXPECT_HR(refused.code, 0x800A000D);
  EXPECT_TRUE(!refused.message.empty());
}

TEST_F(AddinOnHost, CommandOneRunsTheWritersOfTheActiveDocument) {
  EnableAllWriters();
  EXPECT_OK(Activate());
  auto& part = host_.AddDocument(PlainPart());
  EXPECT_TRUE(Save(part).succeeded); // loads the settings
  auto& sheets = host_.AddDocument(FrameDrawing());
  host_.SetActiveDocument(&sheets);

  host_.ClearOperations();
  for (LONG other : {0L, 2L, -1L})
    EXPECT_OK(server_->ExecuteCommand(other));
  EXPECT_EQ(host_.OperationCount(), 0u);

  EXPECT_OK(server_->ExecuteCommand(1));
  EXPECT_EQ(UserProperty(sheets, "FirstViewScale"), "1:2");
  EXPECT_EQ(UserProperty(sheets, "PaperSize"), "A3");
  EXPECT_NE(UserProperty(sheets, "SaveTime"), "<missing>");

  // Through the host's IDispatch of the add-in server interface as well.
  Variant id = LongVariant(1);
  host_.SetActiveDocument(&part);
  EXPECT_OK(InvokeByName(server_.Get(), L"ExecuteCommand", DISPATCH_METHOD, {id.Get()}).hr);
}

TEST_F(AddinOnHost, PartsListUpdateFillsTheTotals) {
  EXPECT_OK(Activate());
  auto& sheets = host_.AddDocument(FrameDrawing());
  host_.SetActiveDocument(&sheets);
  struct {
    const wchar_t* name;
    Variant (*value)();
  } const settings[] = {
      {L"TotalMassUnit", [] { return TextVariant(L"kg"); }},
      {L"TotalMassUnitToDisplay", [] { return TextVariant(L"kg"); }},
      {L"TotalMassColumnName", [] { return TextVariant(L"TOTAL"); }},
      {L"MassColumnName", [] { return TextVariant(L"MASS"); }},
      {L"QuantityColumnName", [] { return TextVariant(L"QTY"); }},
      {L"Decimals", [] { return LongVariant(2); }},
      {L"SpaceBeforeMassUnit", [] { return LongVariant(1); }},
      {L"SuppressError", [] { return BoolVariant(true); }},
  };
  for (const auto& setting : settings) {
    Variant value = setting.value();
    SetProperty(setting.name, value.Get());
  }
  EXPECT_OK(InvokeByName(addin_.Get(), L"UpdateTotalMassInPartsList", DISPATCH_METHOD).hr);
  const auto& rows = sheets.sheets[1].partsLists[0].rows;
  EXPECT_EQ(rows[0][2], "10 kg");
  EXPECT_EQ(rows[1][2], Number("0.75") + " kg");
  EXPECT_EQ(UserProperty(sheets, "TotalMass"), Number("10.75") + " kg");
  EXPECT_EQ(host_.StatusBarText(),
            std::string("Updating Totalmass in the Parts List, Please wait."));

  // A column that is not there: the failure path without a message box
  // (suppressed) empties the drawing's total and reports success.
  Variant missing = TextVariant(L"NO SUCH COLUMN");
  SetProperty(L"QuantityColumnName", missing.Get());
  EXPECT_OK(InvokeByName(addin_.Get(), L"UpdateTotalMassInPartsList", DISPATCH_METHOD).hr);
  EXPECT_EQ(UserProperty(sheets, "TotalMass"), "");
}

// The sink's answers to what the host may send.
TEST_F(AddinOnHost, EventSinkChecksWhatTheHostSends) {
  EXPECT_OK(Activate());
  DISPPARAMS none = {};
  // Every other event succeeds without doing anything.
  host_.ClearOperations();
  EXPECT_OK(world_->InvokeSinks(0x3000611, none, nullptr));
  EXPECT_EQ(host_.OperationCount(), 0u);

  auto& part = host_.AddDocument(PlainPart());
  host_.SetActiveDocument(&part);
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
  EXPECT_HR(world_->InvokeSinks(0x3000612, three, nullptr), DISP_E_BADPARAMCOUNT);
  DISPPARAMS four = {arguments, nullptr, 4, 0};
  EXPECT_OK(world_->InvokeSinks(0x3000612, four, nullptr));
  EXPECT_EQ(handling, 5L);
  // The handling code must come by reference.
  V_VT(&arguments[0]) = VT_I4;
  V_I4(&arguments[0]) = 5;
  EXPECT_HR(world_->InvokeSinks(0x3000612, four, nullptr), DISP_E_TYPEMISMATCH);
  // A failure comes back as DISP_E_EXCEPTION with the code in EXCEPINFO.
  V_VT(&arguments[0]) = VT_I4 | VT_BYREF;
  V_I4REF(&arguments[0]) = &handling;
  V_I4(&arguments[2]) = vantelo::event_timing::Before;
  WriteSettings("[Global Options]\r\nEnableTimeStamp=maybe\r\n");
  EXCEPINFO exception = {};
  EXPECT_HR(world_->InvokeSinks(0x3000612, four, &exception), DISP_E_EXCEPTION);
  EXPECT_HR(exception.scode, 0x800A000D);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

// What the host or a client does to the add-in, done through COM and done to
// the core directly; each gives the status code it ended with.
enum class Operation { Save, Command, PartsListUpdate };

struct Scenario {
  Operation operation;
  sim::DocumentData (*document)();
};

HRESULT Status(const sim::SaveOutcome& outcome) { return outcome.succeeded ? S_OK : outcome.code; }

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

class HostOperations : public AddinOnHostTest {
protected:
  HRESULT OverCom(Operation operation, sim::DocumentData& document) {
    host_.SetActiveDocument(&document);
    switch (operation) {
    case Operation::Save:
      return Status(host_.FireSaveDocument(&document, vantelo::event_timing::Before, 0));
    case Operation::Command:
      return server_->ExecuteCommand(1);
    case Operation::PartsListUpdate: {
      // Called by name, as a macro does: a failure comes as an exception.
      const DispatchResult result =
          InvokeByName(addin_.Get(), L"UpdateTotalMassInPartsList", DISPATCH_METHOD);
      return result.hr == DISP_E_EXCEPTION ? result.exception.scode : result.hr;
    }
    }
    return E_UNEXPECTED;
  }

  static HRESULT Directly(Operation operation, vantelo::clsVantelo& addin, sim::Host& host,
                          sim::DocumentData& document) {
    host.SetActiveDocument(&document);
    try {
      switch (operation) {
      case Operation::Save:
        return Status(host.FireSaveDocument(&document, vantelo::event_timing::Before, 0));
      case Operation::Command:
        addin.ExecuteCommand(1);
        break;
      case Operation::PartsListUpdate:
        addin.UpdateTotalMassInPartsList();
        break;
      }
      return S_OK;
    } catch (const vantelo::Failure& failure) {
      return failure.Code();
    }
  }
};

// Each host operation of the core must be exactly one call through COM, and
// a failing host call must end the add-in's work with the same code through
// COM as directly: every scenario runs on both, first without faults, then
// once with each of its host operations failing in turn.
TEST_F(HostOperations, AreTheCoresOneForOneWithTheSameFailureCodes) {
  EnableAllWriters();
  const std::wstring settings = SettingsPath();
  const std::wstring directory = settings.substr(0, settings.rfind(L'\\'));
  sim::Host twin;
  vantelo::PlatformServices services = vantelo::win::WindowsPlatformServices();
  services.modulePath =
      std::make_shared<DirectModulePath>(comhost::Utf8(directory.c_str(), directory.size()));
  auto direct = std::make_unique<vantelo::clsVantelo>(services);

  EXPECT_OK(Activate());
  direct->Activate(twin.AddInSite(), true);
  // The parts-list members, set alike on both.
  for (const auto& [name, text] : {std::pair{L"TotalMassUnit", "kg"},
                                   {L"MassColumnName", "MASS"},
                                   {L"QuantityColumnName", "QTY"},
                                   {L"TotalMassColumnName", "TOTAL"}}) {
    Variant value = TextVariant(comhost::Wide(text));
    SetProperty(name, value.Get());
  }
  direct->TotalMassUnit = "kg";
  direct->MassColumnName = "MASS";
  direct->QuantityColumnName = "QTY";
  direct->TotalMassColumnName = "TOTAL";
  Variant suppress = BoolVariant(true);
  SetProperty(L"SuppressError", suppress.Get());
  direct->SuppressError = true;

  const Scenario scenarios[] = {
      {Operation::Save, PlainPart},
      {Operation::Save, BentPart},
      {Operation::Save, FrameAssembly},
      {Operation::Save, FrameDrawing},
      {Operation::Save, ShowPresentation},
      {Operation::Command, PlainPart},
      {Operation::Command, BentPart},
      {Operation::Command, FrameDrawing},
      {Operation::PartsListUpdate, FrameDrawing},
  };
  constexpr std::int32_t HostFault = static_cast<std::int32_t>(0x80041234);
  for (const Scenario& scenario : scenarios) {
    auto& overCom = host_.AddDocument(scenario.document());
    auto& directly = twin.AddDocument(scenario.document());
    for (std::uint64_t failing = 0;; ++failing) {
      SCOPED_TRACE(::testing::Message()
                   << "operation " << static_cast<int>(scenario.operation) << " on " << overCom.name
                   << ", host call " << failing << " failing (0: none)");
      host_.ClearOperations();
      twin.ClearOperations();
      if (failing > 0) {
        host_.FailOperationNumber(failing, HostFault);
        twin.FailOperationNumber(failing, HostFault);
      }
      const HRESULT comResult = OverCom(scenario.operation, overCom);
      const HRESULT directResult = Directly(scenario.operation, *direct, twin, directly);
      host_.ClearFaults();
      twin.ClearFaults();
      EXPECT_EQ(host_.Operations(), twin.Operations());
      EXPECT_HR(comResult, directResult);
      if (failing >= twin.OperationCount())
        break;
    }
  }
  // Both did the work, not merely failed alike.
  EXPECT_NE(twin.Document(0).Property(vantelo::fmtid::UserDefined, "SaveTime"), nullptr);
  EXPECT_NE(host_.Document(0).Property(vantelo::fmtid::UserDefined, "SaveTime"), nullptr);
}

} // namespace

} // namespace vtest
