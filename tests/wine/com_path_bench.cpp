// The real path's cost: a save handled by Vantelo.dll on the COM stand-in
// host, against the same IDispatch calls made directly on the stand-in's
// objects (the floor: what the host's own objects cost, with nothing of the
// add-in's). Both sides run in turns, interleaved, and the medians are
// printed. The stand-in counts the calls by kind of object and dispatch id;
// every round checks that both sides made the same ones, so that the floor
// is the floor of this very save and the add-in neither skipped nor added a
// host call.
//
//   vantelo_com_bench [MODULE.dll] [--rounds N]
//
// MODULE.dll defaults to the module built beside this program. Exit status 1
// when the call counts differ or the module cannot be loaded.
#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "com_host/world.h"
#include "simhost/host.h"

#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using vantelo::com::ComPtr;
namespace comhost = vtest::comhost;
namespace sim = vantelo::sim;

// ---------------------------------------------------------------------------
// Timing.

double Now() {
  static const double ticksPerSecond = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerSecond;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// ---------------------------------------------------------------------------
// Bare calls on the stand-in's objects, as any client makes them: one
// Invoke each, arguments last to first in a fixed array, object results
// taken as the interface the host declares for them.

DISPID IdOf(const comhost::Kind& kind, const wchar_t* name) {
  for (const comhost::Member& member : kind.members)
    if (std::wcscmp(member.name, name) == 0)
      return member.id;
  std::fprintf(stderr, "the stand-in's %s has no member %ls\n", kind.name, name);
  std::exit(1);
}

const GUID& IidOf(const comhost::Kind& kind) { return kind.iids.front(); }

class Call {
public:
  Call(IDispatch* object, DISPID id, WORD flags) : object_(object), id_(id), flags_(flags) {}
  ~Call() {
    for (UINT i = 0; i < count_; ++i)
      VariantClear(&arguments_[i]);
    VariantClear(&result_);
  }
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  // Arguments in declared order.
  Call& Text(const wchar_t* text) {
    return With(VT_BSTR, [&](VARIANTARG& v) { V_BSTR(&v) = SysAllocString(text); });
  }
  Call& Short(SHORT value) {
    return With(VT_I2, [&](VARIANTARG& v) { V_I2(&v) = value; });
  }
  Call& Long(LONG value) {
    return With(VT_I4, [&](VARIANTARG& v) { V_I4(&v) = value; });
  }
  Call& Date(double value) {
    return With(VT_DATE, [&](VARIANTARG& v) { V_DATE(&v) = value; });
  }

  // Makes the call; a failed call is a host error the add-in would skip, so
  // it only leaves an empty result.
  VARIANT& Run() {
    // Declared order to last-to-first.
    std::reverse(arguments_, arguments_ + count_);
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {count_ ? arguments_ : nullptr, nullptr, count_, 0};
    if (flags_ == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &put;
      params.cNamedArgs = 1;
    }
    EXCEPINFO exception = {};
    object_->Invoke(id_, IID_NULL, LOCALE_USER_DEFAULT, flags_, &params,
                    flags_ == DISPATCH_PROPERTYPUT ? nullptr : &result_, &exception, nullptr);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return result_;
  }

  // The object result as the interface `iid` (null when there is none).
  ComPtr<IDispatch> Object(const GUID* iid) {
    VARIANT& result = Run();
    ComPtr<IDispatch> typed;
    if (V_VT(&result) == VT_DISPATCH && V_DISPATCH(&result)) {
      if (iid)
        V_DISPATCH(&result)->QueryInterface(*iid, typed.PutVoid());
      else
        typed = ComPtr<IDispatch>(V_DISPATCH(&result));
    }
    return typed;
  }
  LONG Number() {
    VARIANT& result = Run();
    VARIANT number;
    VariantInit(&number);
    VariantChangeType(&number, &result, 0, VT_I4);
    return V_I4(&number);
  }

private:
  template <class Set> Call& With(VARTYPE type, Set set) {
    VARIANTARG& v = arguments_[count_++];
    VariantInit(&v);
    V_VT(&v) = type;
    set(v);
    return *this;
  }

  IDispatch* object_;
  DISPID id_;
  WORD flags_;
  VARIANTARG arguments_[2];
  UINT count_ = 0;
  VARIANT result_{};
};

DISPID IdOfName(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

// The dispatch ids and interfaces, from the stand-in's own table.
struct Host {
  DISPID activeDocument = IdOf(comhost::ApplicationKind(), L"ActiveDocument");
  DISPID documentType = IdOf(comhost::DocumentKind(), L"DocumentType");
  DISPID propertySets = IdOf(comhost::DocumentKind(), L"PropertySets");
  DISPID versionNumber = IdOf(comhost::DocumentKind(), L"VersionNumber");
  DISPID unitsOfMeasure = IdOf(comhost::DocumentKind(), L"UnitsOfMeasure");
  DISPID setsItem = IdOf(comhost::PropertySetsKind(), L"Item");
  DISPID setItem = IdOf(comhost::PropertySetKind(), L"Item");
  DISPID setAdd = IdOf(comhost::PropertySetKind(), L"Add");
  DISPID setItemByPropId = IdOf(comhost::PropertySetKind(), L"ItemByPropId");
  DISPID propertyDelete = IdOf(comhost::PropertyKind(), L"Delete");
  DISPID propertyValue = IdOf(comhost::PropertyKind(), L"Value");
  DISPID sheets = IdOf(comhost::DrawingDocumentKind(), L"Sheets");
  DISPID sheetsCount = IdOf(comhost::SheetsKind(), L"Count");
  DISPID sheetsItem = IdOf(comhost::SheetsKind(), L"Item");
  DISPID sheetSize = IdOf(comhost::SheetKind(), L"Size");
  DISPID drawingViews = IdOf(comhost::SheetKind(), L"DrawingViews");
  DISPID viewsCount = IdOf(comhost::DrawingViewsKind(), L"Count");
  DISPID viewsItem = IdOf(comhost::DrawingViewsKind(), L"Item");
  DISPID viewScale = IdOf(comhost::DrawingViewKind(), L"Scale");
  DISPID massUnits = IdOf(comhost::UnitsOfMeasureKind(), L"MassUnits");
  DISPID lengthUnits = IdOf(comhost::UnitsOfMeasureKind(), L"LengthUnits");
};

constexpr const wchar_t* UserDefined = L"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";
constexpr const wchar_t* DesignTracking = L"{32853F0F-3444-11D1-9E93-0060B03C1CA6}";

// The calls a handled save makes on the application, written out by hand.
class DirectSave {
public:
  explicit DirectSave(ComPtr<IDispatch> application) : application_(std::move(application)) {}

  void Drawing() { Save(&DirectSave::DrawingWriters, nullptr); }
  void Part() { Save(nullptr, &DirectSave::MassVolume); }
  // A document only the time stamp applies to.
  void Other() { Save(nullptr, nullptr); }

private:
  ComPtr<IDispatch> ActiveDocument() {
    return Call(application_.Get(), h_.activeDocument, DISPATCH_PROPERTYGET).Object(nullptr);
  }
  ComPtr<IDispatch> ActiveDrawing() {
    const ComPtr<IDispatch> document = ActiveDocument();
    ComPtr<IDispatch> drawing;
    document->QueryInterface(IidOf(comhost::DrawingDocumentKind()), drawing.PutVoid());
    return drawing;
  }
  ComPtr<IDispatch> ActiveSet(const wchar_t* formatId) {
    const ComPtr<IDispatch> document = ActiveDocument();
    const ComPtr<IDispatch> sets = Call(document.Get(), h_.propertySets, DISPATCH_PROPERTYGET)
                                       .Object(&IidOf(comhost::PropertySetsKind()));
    return Call(sets.Get(), h_.setsItem, DISPATCH_PROPERTYGET)
        .Text(formatId)
        .Object(&IidOf(comhost::PropertySetKind()));
  }
  void Delete(const ComPtr<IDispatch>& set, const wchar_t* name) {
    const ComPtr<IDispatch> property = Call(set.Get(), h_.setItem, DISPATCH_PROPERTYGET)
                                           .Text(name)
                                           .Object(&IidOf(comhost::PropertyKind()));
    if (property)
      Call(property.Get(), h_.propertyDelete, DISPATCH_METHOD).Run();
  }
  void Replace(const ComPtr<IDispatch>& set, const wchar_t* name, const wchar_t* text) {
    Delete(set, name);
    Call(set.Get(), h_.setAdd, DISPATCH_METHOD).Text(text).Text(name).Run();
  }
  void TimeStamp() {
    const ComPtr<IDispatch> set = ActiveSet(UserDefined);
    Delete(set, L"SaveDate");
    Call(set.Get(), h_.setAdd, DISPATCH_METHOD).Date(46000.0).Text(L"SaveDate").Run();
    Replace(set, L"SaveTime", L"09:05");
  }
  void TypeOf(const ComPtr<IDispatch>& document) {
    Call(document.Get(), h_.documentType, DISPATCH_PROPERTYGET).Number();
  }

  // The save: the time stamp, the type tests on the document active at the
  // start, and the writers for a drawing or a part between them.
  using Writers = void (DirectSave::*)();
  void Save(Writers drawingWriters, Writers partWriters) {
    const ComPtr<IDispatch> active = ActiveDocument();
    TimeStamp();
    TypeOf(active);
    if (drawingWriters)
      (this->*drawingWriters)();
    TypeOf(active);
    TypeOf(active);
    if (partWriters)
      (this->*partWriters)();
    TypeOf(ActiveDocument());
  }
  void DrawingWriters() {
    Replace(ActiveSet(UserDefined), L"FirstViewScale", FirstViewScale());
    Replace(ActiveSet(UserDefined), L"AllViewScales", AllViewScales());
    Replace(ActiveSet(UserDefined), L"PaperSize", PaperSize());
  }

  ComPtr<IDispatch> SheetsOf(const ComPtr<IDispatch>& drawing) {
    return Call(drawing.Get(), h_.sheets, DISPATCH_PROPERTYGET)
        .Object(&IidOf(comhost::SheetsKind()));
  }
  ComPtr<IDispatch> ViewsOf(const ComPtr<IDispatch>& drawing, SHORT sheetIndex) {
    const ComPtr<IDispatch> sheet =
        Call(SheetsOf(drawing).Get(), h_.sheetsItem, DISPATCH_PROPERTYGET)
            .Short(sheetIndex)
            .Object(&IidOf(comhost::SheetKind()));
    return Call(sheet.Get(), h_.drawingViews, DISPATCH_PROPERTYGET)
        .Object(&IidOf(comhost::DrawingViewsKind()));
  }
  double ScaleOf(const ComPtr<IDispatch>& drawing, SHORT sheetIndex, LONG viewIndex) {
    const ComPtr<IDispatch> view =
        Call(ViewsOf(drawing, sheetIndex).Get(), h_.viewsItem, DISPATCH_PROPERTYGET)
            .Long(viewIndex)
            .Object(&IidOf(comhost::DrawingViewKind()));
    return V_R8(&Call(view.Get(), h_.viewScale, DISPATCH_PROPERTYGET).Run());
  }
  const wchar_t* FirstViewScale() {
    ScaleOf(ActiveDrawing(), 1, 1);
    return L"1:2";
  }
  const wchar_t* AllViewScales() {
    const ComPtr<IDispatch> drawing = ActiveDrawing();
    const LONG sheetCount =
        Call(SheetsOf(drawing).Get(), h_.sheetsCount, DISPATCH_PROPERTYGET).Number();
    for (SHORT i = 1; i <= sheetCount; ++i) {
      const LONG viewCount =
          Call(ViewsOf(drawing, i).Get(), h_.viewsCount, DISPATCH_PROPERTYGET).Number();
      for (LONG j = 1; j <= viewCount; ++j) {
        ScaleOf(drawing, i, j);
        ScaleOf(drawing, i, j);
      }
    }
    // The first view's scale is left out of the list (the default).
    ScaleOf(drawing, 1, 1);
    return L"2:1, 1:1, 1:2, 1:4, 1:5";
  }
  const wchar_t* PaperSize() {
    const ComPtr<IDispatch> sheet =
        Call(SheetsOf(ActiveDrawing()).Get(), h_.sheetsItem, DISPATCH_PROPERTYGET)
            .Short(1)
            .Object(&IidOf(comhost::SheetKind()));
    Call(sheet.Get(), h_.sheetSize, DISPATCH_PROPERTYGET).Number();
    return L"A3";
  }

  // Mass and volume: the component definition and its mass properties are
  // reached by member name.
  ComPtr<IDispatch> ByName(const ComPtr<IDispatch>& object, const wchar_t* name, const GUID* iid) {
    return Call(object.Get(), IdOfName(object.Get(), name), DISPATCH_PROPERTYGET).Object(iid);
  }
  LONG Units(DISPID which) {
    const ComPtr<IDispatch> units =
        Call(ActiveDocument().Get(), h_.unitsOfMeasure, DISPATCH_PROPERTYGET)
            .Object(&IidOf(comhost::UnitsOfMeasureKind()));
    return Call(units.Get(), which, DISPATCH_PROPERTYGET).Number();
  }
  void SetDesignTracking(LONG id, const wchar_t* text, DISPID unit) {
    const ComPtr<IDispatch> property =
        Call(ActiveSet(DesignTracking).Get(), h_.setItemByPropId, DISPATCH_PROPERTYGET)
            .Long(id)
            .Object(&IidOf(comhost::PropertyKind()));
    Units(unit);
    Call(property.Get(), h_.propertyValue, DISPATCH_PROPERTYPUT).Text(text).Run();
  }
  void MassVolume() {
    const ComPtr<IDispatch> definition = ByName(ActiveDocument(), L"ComponentDefinition",
                                                &IidOf(comhost::ComponentDefinitionKind()));
    {
      const ComPtr<IDispatch> properties = ByName(definition, L"MassProperties", nullptr);
      Call(properties.Get(), IdOfName(properties.Get(), L"Accuracy"), DISPATCH_PROPERTYPUT)
          .Long(3)
          .Run();
    }
    ByName(ByName(definition, L"MassProperties", nullptr), L"Mass", nullptr);
    ByName(ByName(definition, L"MassProperties", nullptr), L"Volume", nullptr);
    Call(ActiveDocument().Get(), h_.versionNumber, DISPATCH_PROPERTYGET).Number();

    ComPtr<IDispatch> set = ActiveSet(UserDefined);
    Delete(set, L"TotalMass");
    Units(h_.massUnits);
    Call(set.Get(), h_.setAdd, DISPATCH_METHOD).Text(L"1.235 kg").Text(L"TotalMass").Run();
    set = ActiveSet(UserDefined);
    Delete(set, L"TotalVolume");
    Units(h_.lengthUnits);
    Call(set.Get(), h_.setAdd, DISPATCH_METHOD).Text(L"123456 mm^3").Text(L"TotalVolume").Run();
    set.Reset();
    SetDesignTracking(9, L"1.235 kg", h_.massUnits);
    SetDesignTracking(43, L"123456 mm^3", h_.lengthUnits);
  }

  Host h_;
  ComPtr<IDispatch> application_;
};

// ---------------------------------------------------------------------------
// The module, loaded from a copy in a scratch directory of its own (so that
// its settings file lies there), and its add-in object.

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    wide.data(), static_cast<int>(wide.size()));
  wide.resize(static_cast<std::size_t>(std::max(n, 0)));
  return wide;
}

struct LoadedModule {
  std::wstring directory;
  HMODULE module = nullptr;
  ComPtr<ApplicationAddInServer> server;
};

bool Load(const std::wstring& modulePath, LoadedModule& loaded) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  loaded.directory =
      std::wstring(temp) + L"vantelo_com_bench_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(loaded.directory.c_str(), nullptr);
  const std::wstring copy = loaded.directory + L"\\Vantelo.dll";
  if (!CopyFileW(modulePath.c_str(), copy.c_str(), FALSE)) {
    std::fprintf(stderr, "cannot copy %ls\n", modulePath.c_str());
    return false;
  }
  // Every writer that applies to a drawing or a part, the rest at defaults.
  const char settings[] = "[Global Options]\r\n"
                          "EnableViewScale=True\r\n"
                          "EnableSheetMetal=False\r\n"
                          "EnableMassVolume=True\r\n"
                          "EnablePartsList=False\r\n"
                          "EnableTimeStamp=True\r\n"
                          "EnablePaperSize=True\r\n";
  HANDLE file = CreateFileW((loaded.directory + L"\\Vantelo.ini").c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, settings, sizeof settings - 1, &written, nullptr);
  CloseHandle(file);

  loaded.module = LoadLibraryW(copy.c_str());
  if (!loaded.module) {
    std::fprintf(stderr, "cannot load %ls\n", copy.c_str());
    return false;
  }
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  const auto getClassObject = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void (*)()>(GetProcAddress(loaded.module, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  if (!getClassObject ||
      FAILED(getClassObject(CLSID_clsVantelo, IID_IClassFactory, factory.PutVoid())) ||
      FAILED(
          factory->CreateInstance(nullptr, IID_ApplicationAddInServer, loaded.server.PutVoid()))) {
    std::fprintf(stderr, "cannot create the add-in from %ls\n", copy.c_str());
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// The scenarios.

struct Scenario {
  const char* name;
  long views; // 0 for a part
  sim::DocumentData document;
  void (DirectSave::*direct)();
};

sim::DocumentData DrawingOf(long views) {
  static constexpr double scales[] = {1.0, 0.5, 0.25, 2.0, 0.2};
  sim::DocumentData drawing{.name = "Views" + std::to_string(views) + ".idw",
                            .type = vantelo::document_type::Drawing};
  long made = 0;
  while (made < views) {
    sim::SheetData sheet{.size = 9996};
    for (long k = 0; k < 100 && made < views; ++k, ++made)
      sheet.viewScales.push_back(scales[made % 5]);
    drawing.sheets.push_back(std::move(sheet));
  }
  drawing.activeSheet = 0;
  return drawing;
}

std::string Describe(const comhost::World::CallCounts& counts) {
  std::string text;
  for (const auto& [key, n] : counts) {
    char line[96];
    std::snprintf(line, sizeof line, "  %s 0x%lX: %ld\n", key.first->name,
                  static_cast<unsigned long>(key.second), n);
    text += line;
  }
  return text;
}

long Total(const comhost::World::CallCounts& counts) {
  long total = 0;
  for (const auto& entry : counts)
    total += entry.second;
  return total;
}

} // namespace

int main(int argc, char** argv) {
  std::wstring modulePath = Wide(VANTELO_MODULE);
  for (wchar_t& c : modulePath)
    if (c == L'/')
      c = L'\\';
  int rounds = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
      rounds = std::atoi(argv[++i]);
    else
      modulePath = Wide(argv[i]);
  }

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int status = 0;
  {
    sim::Host host;
    const std::shared_ptr<comhost::World> world = comhost::World::Create(host);
    LoadedModule loaded;
    if (!Load(modulePath, loaded))
      return 1;
    const ComPtr<IDispatch> site = world->AddInSite();
    if (FAILED(loaded.server->Activate(site.Get(), VARIANT_TRUE))) {
      std::fprintf(stderr, "the add-in did not activate\n");
      return 1;
    }
    DirectSave direct(
        Call(site.Get(), IdOf(comhost::AddInSiteKind(), L"Application"), DISPATCH_PROPERTYGET)
            .Object(nullptr));

    // The settings load is measured in every round as a save of a document
    // only the time stamp applies to (15 host calls, whose floor is some
    // 0.02 ms): the load varies with the machine, and the difference within
    // a round keeps the add-in's share apart from it.
    sim::DocumentData& probe =
        host.AddDocument(sim::DocumentData{.name = "Show.ipn", .type = 12293});
    host.SetActiveDocument(&probe);
    host.FireSaveDocument(&probe, 4097, 0);

    std::vector<Scenario> scenarios;
    scenarios.push_back({"Presentation (time stamp only)", -1,
                         sim::DocumentData{.name = "Other.ipn", .type = 12293},
                         &DirectSave::Other});
    scenarios.push_back(
        {"Part with mass and volume", 0,
         sim::DocumentData{.name = "Plain.ipt",
                           .type = vantelo::document_type::Part,
                           .subType = vantelo::subtype::Part,
                           .massProperties =
                               sim::MassPropertiesData{.mass = 1.23456, .volume = 123.456}},
         &DirectSave::Part});
    for (long views : {10L, 100L, 1000L, 10000L})
      scenarios.push_back({"Drawing", views, DrawingOf(views), &DirectSave::Drawing});

    std::printf("Medians; times in ms. Load: a save of a document only the time stamp applies\n"
                "to, in the same round. Rest: the save less the load.\n\n");
    std::printf("%-32s %6s %7s %9s %8s %9s %9s %6s\n", "Save", "Views", "Calls", "Save", "Load",
                "Rest", "Floor", "Rest/F");
    struct Row {
      long views;
      double rest;
      double floor;
    };
    std::vector<Row> drawings;
    for (Scenario& scenario : scenarios) {
      sim::DocumentData& document = host.AddDocument(scenario.document);
      host.SetActiveDocument(&document);
      // The first save writes the missing settings back and creates the
      // properties; it is not measured.
      host.FireSaveDocument(&document, 4097, 0);
      const int n = rounds > 0 ? rounds : scenario.views >= 10000 ? 11 : 21;
      std::vector<double> saves, directs, loads, rests;
      long calls = 0;
      for (int round = 0; round < n; ++round) {
        comhost::World::CallCounts counts[2];
        double times[3] = {};
        // Interleaved: the sides take turns at going first.
        for (int turn = 0; turn < 3; ++turn) {
          const int side = (round + turn) % 3;
          host.ClearOperations();
          world->ClearCallCounts();
          const double start = Now();
          if (side == 0) {
            host.FireSaveDocument(&document, 4097, 0);
          } else if (side == 1) {
            (direct.*scenario.direct)();
          } else {
            host.SetActiveDocument(&probe);
            host.FireSaveDocument(&probe, 4097, 0);
          }
          times[side] = Now() - start;
          if (side < 2)
            counts[side] = world->Calls();
          host.SetActiveDocument(&document);
        }
        if (counts[0] != counts[1]) {
          std::fprintf(stderr, "%s (%ld views): the calls differ\nVantelo.dll:\n%sdirect:\n%s",
                       scenario.name, scenario.views, Describe(counts[0]).c_str(),
                       Describe(counts[1]).c_str());
          status = 1;
          break;
        }
        calls = Total(counts[0]);
        saves.push_back(times[0] * 1e3);
        directs.push_back(times[1] * 1e3);
        loads.push_back(times[2] * 1e3);
        rests.push_back((times[0] - times[2]) * 1e3);
      }
      if (saves.empty())
        continue;
      const double floor = Median(directs);
      const double rest = Median(rests);
      std::printf("%-32s %6s %7ld %9.3f %8.3f %9.3f %9.3f %6.1f\n", scenario.name,
                  scenario.views > 0 ? std::to_string(scenario.views).c_str() : "", calls,
                  Median(saves), Median(loads), rest, floor, rest / floor);
      std::fflush(stdout);
      if (scenario.views > 0)
        drawings.push_back({scenario.views, rest, floor});
    }
    // The cost of each added view, between the two largest drawings.
    if (drawings.size() >= 2) {
      const Row& small = drawings[drawings.size() - 2];
      const Row& large = drawings.back();
      const double views = static_cast<double>(large.views - small.views);
      const double rest = (large.rest - small.rest) / views * 1e3;
      const double floor = (large.floor - small.floor) / views * 1e3;
      std::printf("\nEach added view (%ld to %ld views): rest %.3f us, floor %.3f us, "
                  "ratio %.1f\n",
                  small.views, large.views, rest, floor, rest / floor);
    }
    loaded.server->Deactivate();
    loaded.server.Reset();
    CoFreeUnusedLibrariesEx(0, 0);
    FreeLibrary(loaded.module);
    DeleteFileW((loaded.directory + L"\\Vantelo.dll").c_str());
    DeleteFileW((loaded.directory + L"\\Vantelo.ini").c_str());
    RemoveDirectoryW(loaded.directory.c_str());
  }
  CoUninitialize();
  return status;
}
