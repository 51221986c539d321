// Reaches the class's private parts, for the tests and the fuzz targets.
#pragma once

#include "addin/clsVantelo.h"

#include <string>
#include <utility>

namespace vantelo {

struct clsVanteloTestAccess {
  static std::string ScaleToText(const clsVantelo& addin, float scale, bool firstView) {
    return addin.ScaleToText(scale, firstView);
  }
  static std::string GetMassUnit(std::string text) {
    return clsVantelo::GetMassUnit(std::move(text));
  }
  static const Ref<Document>& ActiveDoc(const clsVantelo& addin) { return addin.ActiveDoc; }
  static const Ref<Application>& HostApplication(const clsVantelo& addin) {
    return addin.HostApplication;
  }
  static const Ref<ApplicationEvents>& AppEvents(const clsVantelo& addin) {
    return addin.AppEvents;
  }
  static void LoadSettings(clsVantelo& addin, std::string& iniFile) { addin.LoadSettings(iniFile); }
  static void ViewScale_First(clsVantelo& addin) { addin.ViewScale_First(); }
  static void ViewScale_All(clsVantelo& addin) { addin.ViewScale_All(); }
};

} // namespace vantelo
