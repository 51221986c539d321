// The class object as a client meets it: created by program identifier, one
// identity behind its interfaces, error information, and the host's add-in
// server interface answered through the host's registered library.
#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "test_support.h"

#include <ocidl.h>
#include <oleauto.h>

namespace vtest {

namespace {

class Object : public RegisteredObjectTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(RegisteredObjectTest::SetUp());
    ASSERT_OK(object_->QueryInterface(IID_ApplicationAddInServer, server_.PutVoid()));
  }

  ComPtr<ApplicationAddInServer> server_;
};

TEST_F(Object, HasOneIdentityBehindItsInterfaces) {
  ComPtr<IUnknown> unknown;
  ComPtr<_clsVantelo> classInterface;
  ComPtr<ISupportErrorInfo> errorInfo;
  EXPECT_OK(object_->QueryInterface(IID_IUnknown, unknown.PutVoid()));
  ASSERT_OK(object_->QueryInterface(IID__clsVantelo, classInterface.PutVoid()));
  ASSERT_OK(object_->QueryInterface(IID_ISupportErrorInfo, errorInfo.PutVoid()));
  // Every interface leads back to the same IUnknown.
  ComPtr<IUnknown> fromServer;
  EXPECT_OK(server_->QueryInterface(IID_IUnknown, fromServer.PutVoid()));
  EXPECT_EQ(fromServer.Get(), unknown.Get());
  ComPtr<IDispatch> dispatch;
  EXPECT_OK(server_->QueryInterface(IID_IDispatch, dispatch.PutVoid()));
  EXPECT_EQ(dispatch.Get(), static_cast<IDispatch*>(classInterface.Get()));
  ComPtr<IConnectionPointContainer> notOffered;
  EXPECT_HR(object_->QueryInterface(IID_IConnectionPointContainer, notOffered.PutVoid()),
            E_NOINTERFACE);
  EXPECT_OK(errorInfo->InterfaceSupportsErrorInfo(IID__clsVantelo));
  EXPECT_OK(errorInfo->InterfaceSupportsErrorInfo(IID_ApplicationAddInServer));
}

TEST_F(Object, AnswersTheAddInServerThroughTheHostsLibrary) {
  // The names and ids come from the host's registered library.
  struct {
    const wchar_t* name;
    DISPID id;
  } const members[] = {{L"Activate", 0x3001201},
                       {L"Deactivate", 0x3001202},
                       {L"ExecuteCommand", 0x3001203},
                       {L"Automation", 0x3001204}};
  for (const auto& member : members)
    EXPECT_EQ(DispidOf(server_.Get(), member.name), member.id)
        << ::testing::PrintToString(member.name);

  // Automation yields the object itself, through its class interface, also
  // to a client of an object the host never activated; Deactivate succeeds.
  ComPtr<_clsVantelo> classInterface;
  ASSERT_OK(object_->QueryInterface(IID__clsVantelo, classInterface.PutVoid()));
  DispatchResult automation = InvokeByName(server_.Get(), L"Automation", DISPATCH_PROPERTYGET);
  EXPECT_OK(automation.hr);
  EXPECT_EQ(automation.value.Type(), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(automation.value.Get()), static_cast<IDispatch*>(classInterface.Get()));
  EXPECT_OK(InvokeByName(server_.Get(), L"Deactivate", DISPATCH_METHOD).hr);
  ComPtr<IDispatch> direct;
  EXPECT_OK(server_->get_Automation(direct.Put()));
  EXPECT_EQ(direct.Get(), static_cast<IDispatch*>(classInterface.Get()));
  EXPECT_HR(server_->get_Automation(nullptr), E_POINTER);
}

TEST_F(Object, FailuresCarryErrorInformation) {
  // Activate without a site: Visual Basic's "Object variable not set", with
  // a description for the caller.
  const HRESULT objectNotSet = static_cast<HRESULT>(0x800A005B);
  SetErrorInfo(0, nullptr);
  EXPECT_HR(server_->Activate(nullptr, VARIANT_TRUE), objectNotSet);
  ComPtr<IErrorInfo> info;
  ASSERT_OK(GetErrorInfo(0, info.Put()));
  Bstr description;
  info->GetDescription(description.Put());
  EXPECT_GT(description.Length(), 0u);
  // The same through IDispatch: DISP_E_EXCEPTION with the code in EXCEPINFO.
  Variant site;
  V_VT(site.Get()) = VT_DISPATCH;
  V_DISPATCH(site.Get()) = nullptr;
  Variant firstTime = BoolVariant(true);
  DispatchResult activate =
      InvokeByName(server_.Get(), L"Activate", DISPATCH_METHOD, {site.Get(), firstTime.Get()});
  EXPECT_HR(activate.hr, DISP_E_EXCEPTION);
  EXPECT_HR(activate.exception.scode, objectNotSet);
}

TEST_F(Object, FindsNamesWithoutRegardToCase) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
  EXPECT_HR(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id),
            DISP_E_UNKNOWNNAME);
  // As Visual Basic does.
  EXPECT_EQ(DispidOf(object_.Get(), L"enableviewscale"), 0x40030002);
  EXPECT_EQ(DispidOf(object_.Get(), L"GETFROMINI"), 0x6003000D);
}

} // namespace

} // namespace vtest
