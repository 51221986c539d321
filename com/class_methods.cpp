// The methods of _clsVantelo. GetFromINI and AddToINI take their four texts
// by reference and write each back (as the settings file saw it, through
// the ANSI code page) only when the call succeeds; a failed call leaves the
// caller's variables as they were.
#include "com/text.h"
#include "com/vantelo_object.h"
#include "com/vantelo_object_call.h"

#include <array>
#include <string>

namespace vantelo::com {

namespace {

class TextsByReference {
public:
  explicit TextsByReference(std::array<BSTR*, 4> slots) : slots_(slots) {
    for (std::size_t i = 0; i < slots_.size(); ++i)
      texts_[i] = ToUtf8(*slots_[i]);
  }

  std::string& operator[](std::size_t i) { return texts_[i]; }

  // Every new text is made before the first old one is freed, so a failure
  // here changes nothing.
  void WriteBack() {
    std::array<Bstr, 4> updated;
    for (std::size_t i = 0; i < slots_.size(); ++i)
      updated[i] = ToBstr(texts_[i]);
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      SysFreeString(*slots_[i]);
      *slots_[i] = updated[i].Detach();
    }
  }

private:
  std::array<BSTR*, 4> slots_;
  std::array<std::string, 4> texts_;
};

} // namespace

HRESULT VanteloObject::Mass_Volume() {
  return Call(IID__clsVantelo, [](clsVantelo& core) { core.Mass_Volume(); });
}

HRESULT VanteloObject::SheetMetal_Style() {
  return Call(IID__clsVantelo, [](clsVantelo& core) { core.SheetMetal_Style(); });
}

HRESULT VanteloObject::PaperSize() {
  return Call(IID__clsVantelo, [](clsVantelo& core) { core.PaperSize(); });
}

HRESULT VanteloObject::TimeStamp() {
  return Call(IID__clsVantelo, [](clsVantelo& core) { core.TimeStamp(); });
}

HRESULT VanteloObject::GetFromINI(BSTR* sSection, BSTR* sKey, BSTR* sDefault, BSTR* sIniFile,
                                  VARIANT* result) {
  if (!result)
    return E_POINTER;
  VariantInit(result);
  if (!sSection || !sKey || !sDefault || !sIniFile)
    return E_POINTER;
  return Call(IID__clsVantelo, [&](clsVantelo& core) {
    TextsByReference texts({sSection, sKey, sDefault, sIniFile});
    Bstr value = ToBstr(core.GetFromINI(texts[0], texts[1], texts[2], texts[3]));
    texts.WriteBack();
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = value.Detach();
  });
}

HRESULT VanteloObject::AddToINI(BSTR* sSection, BSTR* sKey, BSTR* sValue, BSTR* sIniFile,
                                VARIANT_BOOL* result) {
  if (!result)
    return E_POINTER;
  *result = VARIANT_FALSE;
  if (!sSection || !sKey || !sValue || !sIniFile)
    return E_POINTER;
  return Call(IID__clsVantelo, [&](clsVantelo& core) {
    TextsByReference texts({sSection, sKey, sValue, sIniFile});
    const bool written = core.AddToINI(texts[0], texts[1], texts[2], texts[3]);
    texts.WriteBack();
    *result = written ? VARIANT_TRUE : VARIANT_FALSE;
  });
}

HRESULT VanteloObject::UpdateTotalMassInPartsList() {
  return Call(IID__clsVantelo, [](clsVantelo& core) { core.UpdateTotalMassInPartsList(); });
}

} // namespace vantelo::com
