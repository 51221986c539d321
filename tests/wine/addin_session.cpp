#include "addin_session.h"

#include "check.h"

#include <fstream>

namespace vtest {

AddinSession::AddinSession(const Environment& environment) : copied_(environment) {
  copied_.module = directory_.file(L"Vantelo.dll");
  CHECK(CopyFileW(environment.module.c_str(), copied_.module.c_str(), FALSE));
  registration_ = std::make_unique<RegisteredModule>(copied_);
  addin = createByProgId();
  if (addin)
    CHECK_OK(addin->QueryInterface(IID_ApplicationAddInServer, server.putVoid()));
}

AddinSession::~AddinSession() {
  server.reset();
  addin.reset();
  registration_.reset();
  CoFreeUnusedLibrariesEx(0, 0);
}

void AddinSession::writeSettings(const std::string& bytes) const {
  HANDLE file =
      CreateFileW(settingsPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (!CHECK(file != INVALID_HANDLE_VALUE))
    return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void AddinSession::enableAllWriters() const {
  writeSettings("[Global Options]\r\n"
                "EnableViewScale=True\r\n"
                "EnableSheetMetal=True\r\n"
                "EnableMassVolume=True\r\n"
                "EnablePartsList=True\r\n"
                "EnableTimeStamp=True\r\n"
                "EnablePaperSize=True\r\n");
}

HRESULT AddinSession::activate(bool firstTime) {
  const ComPtr<IDispatch> site = world->addInSite();
  return server->Activate(site.get(), firstTime ? VARIANT_TRUE : VARIANT_FALSE);
}

vantelo::sim::SaveOutcome AddinSession::save(vantelo::sim::DocumentData& document,
                                             std::int32_t timing, std::int32_t handlingCode) {
  host.SetActiveDocument(&document);
  return host.FireSaveDocument(&document, timing, handlingCode);
}

void AddinSession::releaseAddin() {
  server.reset();
  addin.reset();
  CHECK_EQ(world->liveObjects(), 0L);
  CHECK_EQ(world->connections(), 0u);
  CHECK_EQ(host.LiveReferences(), 0u);
  CHECK_EQ(host.LiveConnections(), 0u);
  if (registration_)
    CHECK_OK(registration_->module().canUnloadNow());
}

std::string userProperty(const vantelo::sim::DocumentData& document, const char* name) {
  const vantelo::sim::PropertyData* property = document.Property(vantelo::fmtid::UserDefined, name);
  if (!property)
    return "<missing>";
  if (const auto* text = std::get_if<std::string>(&property->value))
    return *text;
  return "<not text>";
}

void setProperty(IDispatch* addin, const wchar_t* name, VARIANT* value) {
  const HRESULT hr = putByName(addin, name, value);
  if (FAILED(hr))
    reportFailure(__FILE__, __LINE__, "setting " + describe(name) + ": " + hexCode(hr));
}

} // namespace vtest
