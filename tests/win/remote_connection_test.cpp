// The connection against a scripted server registered inside the test process: creation and
// context masks, the record request through IAppServer and through IDispatch, failures and
// replies.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/win/fake_factory.h"
#include "remote/app_server.h"
#include "remote/com_error.h"
#include "remote/com_types.h"
#include "remote/dcom_connection.h"

using Microsoft::WRL::ComPtr;
using Kind = data::RecordReply::Kind;

namespace {

// {80BF9049-920A-420F-95C6-05747F9E7B0D}
constexpr GUID kFakeClsid = {0x80bf9049, 0x920a, 0x420f, {0x95, 0xc6, 0x05, 0x74, 0x7f, 0x9e, 0x7b, 0x0d}};

// One record request as the fake received it.
struct Call {
  bool through_invoke = false;
  std::wstring provider;
  LONG count = 0;
  LONG options = 0;
  std::wstring command_text;
  VARTYPE params_type = VT_ILLEGAL;
  VARTYPE owner_data_type = VT_ILLEGAL;
};

enum class Report {
  kErrorInfo,     // SetErrorInfo (vtable path); EXCEPINFO filled at once (Invoke)
  kDeferredFill,  // Invoke: EXCEPINFO filled by its pfnDeferredFillIn
  kCodeOnly,      // the failing HRESULT alone
};

// What the fake does; the test reads `calls` afterwards.
struct Script {
  bool offer_dispatch = true;    // false: no IDispatch (and so no IAppServer)
  bool offer_app_server = true;  // false: IDispatch only
  bool supports_error_info = true;
  HRESULT result = S_OK;
  std::wstring description;
  Report report = Report::kErrorInfo;
  LONG records_sent = 0;
  std::function<void(VARIANT*)> reply = [](VARIANT* v) { V_VT(v) = VT_NULL; };
  std::vector<Call> calls;
  int objects = 0;  // alive now
};

std::wstring g_deferred_description;
HRESULT __stdcall DeferredFill(EXCEPINFO* e) {
  e->bstrDescription = SysAllocString(g_deferred_description.c_str());
  e->pfnDeferredFillIn = nullptr;
  return S_OK;
}

class FakeServer final : public IAppServer, public ISupportErrorInfo {
 public:
  explicit FakeServer(Script* script) : script_(script) { ++script_->objects; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || (script_->offer_dispatch && IsEqualIID(iid, IID_IDispatch)) ||
        (script_->offer_dispatch && script_->offer_app_server && IsEqualIID(iid, __uuidof(IAppServer)))) {
      *object = static_cast<IAppServer*>(this);
    } else if (script_->supports_error_info && IsEqualIID(iid, IID_ISupportErrorInfo)) {
      *object = static_cast<ISupportErrorInfo*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      --script_->objects;
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

  // Accepts only the argument layout of the record request.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* p, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    if (id != remote::kGetRecordsDispId) return DISP_E_MEMBERNOTFOUND;
    if (!IsEqualIID(iid, IID_NULL) || flags != DISPATCH_METHOD || !result) return E_INVALIDARG;
    if (p->cArgs != 7 || p->cNamedArgs != 0) return DISP_E_BADPARAMCOUNT;
    const VARIANTARG* a = p->rgvarg;
    const VARTYPE expected[7] = {VT_BYREF | VT_VARIANT, VT_BYREF | VT_VARIANT, VT_BSTR, VT_I4,
                                 VT_BYREF | VT_I4,     VT_I4,                 VT_BSTR};
    for (int i = 0; i < 7; ++i)
      if (V_VT(&a[i]) != expected[i]) return DISP_E_TYPEMISMATCH;
    Call call{true, Text(V_BSTR(&a[6])), V_I4(&a[5]), V_I4(&a[3]), Text(V_BSTR(&a[2])),
              V_VT(V_VARIANTREF(&a[1])), V_VT(V_VARIANTREF(&a[0]))};
    script_->calls.push_back(call);
    *V_I4REF(&a[4]) = script_->records_sent;
    if (SUCCEEDED(script_->result)) {
      script_->reply(result);
      return S_OK;
    }
    if (script_->report == Report::kCodeOnly || !exception) return script_->result;
    exception->scode = script_->result;
    if (script_->report == Report::kDeferredFill) {
      g_deferred_description = script_->description;
      exception->pfnDeferredFillIn = &DeferredFill;
    } else {
      exception->bstrDescription = SysAllocString(script_->description.c_str());
    }
    return DISP_E_EXCEPTION;
  }

  HRESULT STDMETHODCALLTYPE AS_GetRecords(BSTR provider, LONG count, LONG* records_sent, LONG options, BSTR command,
                                          VARIANT* params, VARIANT* owner_data, VARIANT* result) override {
    script_->calls.push_back(
        {false, Text(provider), count, options, Text(command), V_VT(params), V_VT(owner_data)});
    *records_sent = script_->records_sent;
    VariantInit(result);
    if (SUCCEEDED(script_->result)) {
      script_->reply(result);
      return S_OK;
    }
    if (script_->report != Report::kCodeOnly) {
      ComPtr<ICreateErrorInfo> create;
      CreateErrorInfo(&create);
      create->SetGUID(__uuidof(IAppServer));
      create->SetDescription(const_cast<LPOLESTR>(script_->description.c_str()));
      ComPtr<IErrorInfo> info;
      create.As(&info);
      SetErrorInfo(0, info.Get());
    }
    return script_->result;
  }
  HRESULT STDMETHODCALLTYPE AS_ApplyUpdates(BSTR, VARIANT, LONG, LONG*, VARIANT*, VARIANT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE AS_DataRequest(BSTR, VARIANT, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AS_GetProviderNames(VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AS_GetParams(BSTR, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AS_RowRequest(BSTR, VARIANT, LONG, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AS_Execute(BSTR, BSTR, VARIANT*, VARIANT*) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return IsEqualIID(iid, __uuidof(IAppServer)) ? S_OK : S_FALSE;
  }

 private:
  static std::wstring Text(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }
  ULONG references_ = 1;
  Script* script_;
};

// A byte array of `size` bytes 0, 1, 2, ... from `lower_bound`.
void MakeArray(VARIANT* v, ULONG size, LONG lower_bound = 0, VARTYPE element = VT_UI1) {
  SAFEARRAYBOUND bound{size, lower_bound};
  SAFEARRAY* array = SafeArrayCreate(element, 1, &bound);
  if (element == VT_UI1 || element == VT_I1) {
    remote::SafeArrayData data(array);
    for (ULONG i = 0; i < size; ++i) static_cast<BYTE*>(data.get())[i] = static_cast<BYTE>(i);
  }
  V_VT(v) = VT_ARRAY | element;
  V_ARRAY(v) = array;
}

// The system's creation functions with the context masks recorded.
std::vector<DWORD> g_contexts;
std::wstring g_prog_id;
HRESULT WINAPI RecordingCreate(REFCLSID c, IUnknown* o, DWORD context, REFIID i, void** p) {
  g_contexts.push_back(context);
  return CoCreateInstance(c, o, context, i, p);
}
HRESULT WINAPI RecordingCreateEx(REFCLSID c, IUnknown* o, DWORD context, COSERVERINFO* s, DWORD n, MULTI_QI* q) {
  g_contexts.push_back(context);
  return remote::SystemCreationFunctions().co_create_instance_ex(c, o, context, s, n, q);
}
HRESULT WINAPI FakeProgId(LPCOLESTR prog_id, LPCLSID clsid) {
  g_prog_id = prog_id;
  *clsid = kFakeClsid;
  return S_OK;
}

std::string ThisComputer() {
  char name[16];
  DWORD size = sizeof name;
  return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

std::string SwapCase(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

// The message of a failure with no description: the system's text or "OLE error %.8x".
std::string TextWithoutDescription(HRESULT hr) {
  return remote::ComErrorText("", remote::SystemErrorText(hr), static_cast<std::uint32_t>(hr));
}

class RemoteFake : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    g_contexts.clear();
    auto* factory = new FakeFactory<FakeServer, Script>(&script_);
    ASSERT_HRESULT_SUCCEEDED(
        CoRegisterClassObject(kFakeClsid, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
    factory->Release();
    functions_ = remote::SystemCreationFunctions();
    functions_.co_create_instance = &RecordingCreate;
    functions_.co_create_instance_ex = &RecordingCreateEx;
  }
  void TearDown() override {
    if (cookie_) CoRevokeClassObject(cookie_);
    CoUninitialize();
  }

  // A connection to the fake, on this computer unless `computer` names one.
  std::unique_ptr<remote::DCOMConnection> Connection(const std::string& computer = "") {
    auto c = std::make_unique<remote::DCOMConnection>(functions_);
    c->SetServerGUID(kFakeClsid);
    c->SetComputerName(computer);
    return c;
  }

  // The error that `f` throws, as ComError.
  template <typename F>
  remote::ComError ErrorOf(F f) {
    try {
      f();
    } catch (const remote::ComError& e) {
      return e;
    }
    ADD_FAILURE() << "no error";
    return remote::ComError("");
  }

  Script script_;
  DWORD cookie_ = 0;
  remote::CreationFunctions functions_;
};

TEST_F(RemoteFake, DefaultsAreTheDesignedOnes) {
  remote::DCOMConnection c;
  EXPECT_EQ("DCOMConnection1", c.Name());
  EXPECT_TRUE(IsEqualGUID(remote::kStoreProductClsid, c.ServerGUID()));
  EXPECT_EQ("VeldoMISServer.CoStoreProduct", c.ServerName());
  EXPECT_EQ("", c.ComputerName());
  EXPECT_FALSE(c.LoginPrompt());
  EXPECT_FALSE(c.Connected());
  EXPECT_EQ(nullptr, c.AppServer());
}

TEST_F(RemoteFake, ConnectsOnThisComputerWithMaskFiveAndReleasesOnDisconnect) {
  auto c = Connection();
  std::vector<bool> changes;
  c->SetOnChange([&](bool connected) { changes.push_back(connected); });
  c->SetConnected(true);
  EXPECT_TRUE(c->Connected());
  EXPECT_NE(nullptr, c->AppServer());
  EXPECT_EQ(std::vector<DWORD>{5}, g_contexts);
  EXPECT_EQ(1, script_.objects);

  c->SetConnected(true);  // connected already: nothing happens
  EXPECT_EQ(1u, g_contexts.size());

  c->SetConnected(false);
  EXPECT_FALSE(c->Connected());
  EXPECT_EQ(0, script_.objects);
  c->SetConnected(false);
  EXPECT_EQ((std::vector<bool>{true, false}), changes);
}

TEST_F(RemoteFake, ThisComputerInOtherCaseAllowsEveryServerKind) {
  const std::string here = ThisComputer();
  ASSERT_FALSE(here.empty());
  auto c = Connection(SwapCase(here));
  c->SetConnected(true);
  EXPECT_TRUE(c->Connected());
  EXPECT_EQ(std::vector<DWORD>{21}, g_contexts);
}

TEST_F(RemoteFake, AnotherComputerAllowsOnlyARemoteServer) {
  auto c = Connection("VELDO-NO-SUCH-PC");
  const remote::ComError e = ErrorOf([&] { c->SetConnected(true); });
  EXPECT_EQ(std::vector<DWORD>{16}, g_contexts);
  EXPECT_FALSE(c->Connected());
  EXPECT_EQ(0, script_.objects);
  // Wine never goes remote and answers "class not registered"; Windows names the network.
  EXPECT_NE(0u, e.code());
  EXPECT_EQ(TextWithoutDescription(static_cast<HRESULT>(e.code())), e.what());
  if (e.code() == static_cast<std::uint32_t>(REGDB_E_CLASSNOTREG) && remote::SystemErrorText(REGDB_E_CLASSNOTREG).empty()) {
    EXPECT_STREQ("OLE error 80040154", e.what());
  }
}

TEST_F(RemoteFake, ChangingTheComputerDisconnectsFirst) {
  auto c = Connection();
  c->SetConnected(true);
  c->SetComputerName("");  // the same name: stays connected
  EXPECT_TRUE(c->Connected());
  c->SetComputerName(ThisComputer());
  EXPECT_FALSE(c->Connected());
  EXPECT_EQ(0, script_.objects);
}

TEST_F(RemoteFake, NamedComputerWithoutDcomFailsBeforeCreating) {
  functions_.co_create_instance_ex = nullptr;
  auto c = Connection(ThisComputer());
  const remote::ComError e = ErrorOf([&] { c->SetConnected(true); });
  EXPECT_STREQ("DCOM not installed", e.what());
  EXPECT_TRUE(g_contexts.empty());
  // Without a computer name DCOM is not needed.
  c->SetComputerName("");
  c->SetConnected(true);
  EXPECT_TRUE(c->Connected());
}

TEST_F(RemoteFake, ObjectWithoutDispatchIsRefused) {
  script_.offer_dispatch = false;
  auto c = Connection();
  const remote::ComError e = ErrorOf([&] { c->SetConnected(true); });
  EXPECT_STREQ("Interface not supported", e.what());
  EXPECT_FALSE(c->Connected());
  EXPECT_EQ(0, script_.objects);  // the created object was released
}

TEST_F(RemoteFake, ClassIdFromServerNameWhenServerGuidIsZero) {
  functions_.clsid_from_prog_id = &FakeProgId;
  auto c = Connection();
  c->SetServerGUID(GUID_NULL);
  c->SetConnected(true);
  EXPECT_TRUE(c->Connected());
  EXPECT_EQ(L"VeldoMISServer.CoStoreProduct", g_prog_id);

  c->SetServerName("");
  EXPECT_FALSE(c->Connected());
  EXPECT_STREQ("Cannot connect, DCOMConnection1 must contain a valid ServerName or ServerGUID",
               ErrorOf([&] { c->SetConnected(true); }).what());
}

TEST_F(RemoteFake, UnregisteredServerNameRaisesTheSystemsError) {
  auto c = Connection();
  c->SetServerGUID(GUID_NULL);
  c->SetServerName("Veldo.NoSuchServer");
  const remote::ComError e = ErrorOf([&] { c->SetConnected(true); });
  EXPECT_EQ(static_cast<std::uint32_t>(CO_E_CLASSSTRING), e.code());
  EXPECT_EQ(TextWithoutDescription(CO_E_CLASSSTRING), e.what());
}

TEST_F(RemoteFake, UnregisteredClassRaisesTheSystemsError) {
  auto c = Connection();
  c->SetServerGUID({0x246bf953, 0xe060, 0x4eb2, {0x92, 0xc2, 0x49, 0xd2, 0xd4, 0xea, 0xb6, 0x05}});
  const remote::ComError e = ErrorOf([&] { c->SetConnected(true); });
  EXPECT_EQ(static_cast<std::uint32_t>(REGDB_E_CLASSNOTREG), e.code());
  EXPECT_EQ(TextWithoutDescription(REGDB_E_CLASSNOTREG), e.what());
}

// The record request's arguments and results, through the interface and through Invoke.
class RemoteRecordRequest : public RemoteFake, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    RemoteFake::SetUp();
    script_.offer_app_server = !GetParam();
  }
  bool through_invoke() const { return GetParam(); }
};

TEST_P(RemoteRecordRequest, SendsTheSevenArgumentsAndConnectsFirst) {
  script_.records_sent = 5;
  script_.reply = [](VARIANT* v) { MakeArray(v, 100); };
  auto c = Connection();
  const data::RecordReply reply = c->GetRecords("dsp_VeldoUnit", -1, 1, "");
  EXPECT_TRUE(c->Connected());
  ASSERT_EQ(1u, script_.calls.size());
  const Call& call = script_.calls[0];
  EXPECT_EQ(through_invoke(), call.through_invoke);
  EXPECT_EQ(L"dsp_VeldoUnit", call.provider);
  EXPECT_EQ(-1, call.count);
  EXPECT_EQ(1, call.options);
  EXPECT_EQ(L"", call.command_text);
  EXPECT_EQ(VT_NULL, call.params_type);
  EXPECT_EQ(VT_EMPTY, call.owner_data_type);
  EXPECT_EQ(Kind::kPacket, reply.kind);
  EXPECT_EQ(5, reply.records_sent);
  ASSERT_EQ(100u, reply.packet.size());
  EXPECT_EQ(99, reply.packet[99]);
}

TEST_P(RemoteRecordRequest, TextsTravelAsWideStrings) {
  auto c = Connection();
  c->GetRecords("dsp_单位", 0, 2, "select * from 单位");
  ASSERT_EQ(1u, script_.calls.size());
  EXPECT_EQ(L"dsp_\u5355\u4f4d", script_.calls[0].provider);
  EXPECT_EQ(L"select * from \u5355\u4f4d", script_.calls[0].command_text);
  EXPECT_EQ(0, script_.calls[0].count);
  EXPECT_EQ(2, script_.calls[0].options);
}

TEST_P(RemoteRecordRequest, RepliesByKind) {
  struct Case {
    const char* name;
    std::function<void(VARIANT*)> reply;
    Kind kind;
    std::size_t bytes;
  };
  const Case cases[] = {
      {"null", [](VARIANT* v) { V_VT(v) = VT_NULL; }, Kind::kNull, 0},
      {"empty", [](VARIANT*) {}, Kind::kOther, 0},
      {"string", [](VARIANT* v) { V_VT(v) = VT_BSTR; V_BSTR(v) = SysAllocString(L"0123456789012345678901234"); },
       Kind::kOther, 0},
      {"integer", [](VARIANT* v) { V_VT(v) = VT_I4; V_I4(v) = 1; }, Kind::kOther, 0},
      {"21 bytes", [](VARIANT* v) { MakeArray(v, 21); }, Kind::kOther, 0},
      {"22 bytes", [](VARIANT* v) { MakeArray(v, 22); }, Kind::kPacket, 22},
  };
  auto c = Connection();
  for (const Case& k : cases) {
    script_.reply = k.reply;
    const data::RecordReply reply = c->GetRecords("dsp_VeldoUnit", -1, 1, "");
    EXPECT_EQ(k.kind, reply.kind) << k.name;
    EXPECT_EQ(k.bytes, reply.packet.size()) << k.name;
  }
}

TEST_P(RemoteRecordRequest, FailureCarriesTheServersDescriptionTrimmed) {
  script_.result = E_FAIL;
  script_.description = L"Provider not found: dsp_x.\r\n";
  auto c = Connection();
  const remote::ComError e = ErrorOf([&] { c->GetRecords("dsp_x", -1, 1, ""); });
  EXPECT_STREQ("Provider not found: dsp_x", e.what());
  EXPECT_EQ(static_cast<std::uint32_t>(E_FAIL), e.code());
  EXPECT_TRUE(c->Connected());  // the reference stays until the window goes
}

TEST_P(RemoteRecordRequest, ChineseDescriptionArrivesAsUtf8) {
  script_.result = E_FAIL;
  script_.description = L"\u672a\u77e5\u7684\u63d0\u4f9b\u8005\u3002";  // 未知的提供者。
  auto c = Connection();
  EXPECT_STREQ("未知的提供者。", ErrorOf([&] { c->GetRecords("dsp_x", -1, 1, ""); }).what());
}

TEST_P(RemoteRecordRequest, FailureWithoutDescriptionGivesTheCodesText) {
  const HRESULT codes[] = {E_ACCESSDENIED, static_cast<HRESULT>(0x80040154), static_cast<HRESULT>(0x8004D00A)};
  for (const Report report : {Report::kCodeOnly, Report::kErrorInfo}) {
    for (const HRESULT code : codes) {
      script_.result = code;
      script_.report = report;
      script_.description = L" .";  // nothing left once trimmed
      auto c = Connection();
      const remote::ComError e = ErrorOf([&] { c->GetRecords("dsp_VeldoUnit", -1, 1, ""); });
      EXPECT_EQ(static_cast<std::uint32_t>(code), e.code());
      EXPECT_EQ(TextWithoutDescription(code), e.what());
      EXPECT_NE('\0', e.what()[0]);
    }
  }
  // Wine knows the Win32 text of access denied; for this COM code nobody has one.
  EXPECT_FALSE(remote::SystemErrorText(E_ACCESSDENIED).empty());
  EXPECT_EQ("OLE error 8004d00a", TextWithoutDescription(static_cast<HRESULT>(0x8004D00A)));
}

INSTANTIATE_TEST_SUITE_P(Paths, RemoteRecordRequest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Invoke" : "Interface"; });

TEST_F(RemoteFake, InterfaceIgnoresErrorInfoOfObjectsWithoutSupport) {
  script_.result = E_FAIL;
  script_.description = L"not to be reported";
  script_.supports_error_info = false;
  auto c = Connection();
  EXPECT_EQ(TextWithoutDescription(E_FAIL), ErrorOf([&] { c->GetRecords("dsp_VeldoUnit", -1, 1, ""); }).what());
}

TEST_F(RemoteFake, InterfaceDoesNotReportAnEarlierError) {
  ComPtr<ICreateErrorInfo> create;
  ASSERT_HRESULT_SUCCEEDED(CreateErrorInfo(&create));
  create->SetDescription(const_cast<LPOLESTR>(L"an earlier error"));
  ComPtr<IErrorInfo> stale;
  create.As(&stale);
  SetErrorInfo(0, stale.Get());

  script_.result = E_FAIL;
  script_.report = Report::kCodeOnly;
  auto c = Connection();
  EXPECT_EQ(TextWithoutDescription(E_FAIL), ErrorOf([&] { c->GetRecords("dsp_VeldoUnit", -1, 1, ""); }).what());
}

TEST_F(RemoteFake, InvokeCallsTheDeferredFill) {
  script_.offer_app_server = false;
  script_.result = static_cast<HRESULT>(0x80004005);
  script_.report = Report::kDeferredFill;
  script_.description = L"Filled later.";
  auto c = Connection();
  const remote::ComError e = ErrorOf([&] { c->GetRecords("dsp_VeldoUnit", -1, 1, ""); });
  EXPECT_STREQ("Filled later", e.what());
  EXPECT_EQ(0x80004005u, e.code());
}

// Reply conversion of variants that no server of ours sends.
TEST_F(RemoteFake, ReplyArraysByShapeAndElementType) {
  struct Case {
    const char* name;
    std::function<void(VARIANT*)> make;
    Kind kind;
    std::size_t bytes;
  };
  const Case cases[] = {
      {"bytes from 1 to 21", [](VARIANT* v) { MakeArray(v, 21, 1); }, Kind::kPacket, 21},
      {"bytes from 0 to 20", [](VARIANT* v) { MakeArray(v, 21, 0); }, Kind::kOther, 0},
      {"signed bytes", [](VARIANT* v) { MakeArray(v, 30, 0, VT_I1); }, Kind::kPacket, 30},
      {"variants", [](VARIANT* v) { MakeArray(v, 30, 0, VT_VARIANT); }, Kind::kOther, 0},
      {"integers", [](VARIANT* v) { MakeArray(v, 30, 0, VT_I4); }, Kind::kOther, 0},
      {"empty, upper bound above 20",
       [](VARIANT* v) { MakeArray(v, 0, 30); }, Kind::kPacket, 0},
      {"two dimensions",
       [](VARIANT* v) {
         SAFEARRAYBOUND b[2] = {{30, 0}, {30, 0}};
         V_VT(v) = VT_ARRAY | VT_UI1;
         V_ARRAY(v) = SafeArrayCreate(VT_UI1, 2, b);
       },
       Kind::kOther, 0},
      {"no array", [](VARIANT* v) { V_VT(v) = VT_ARRAY | VT_UI1; V_ARRAY(v) = nullptr; }, Kind::kOther, 0},
  };
  for (const Case& k : cases) {
    remote::Variant v;
    k.make(v.get());
    const data::RecordReply reply = remote::ReplyFromVariant(*v);
    EXPECT_EQ(k.kind, reply.kind) << k.name;
    EXPECT_EQ(k.bytes, reply.packet.size()) << k.name;
  }
  // A reference to an array is no array.
  remote::Variant array;
  MakeArray(array.get(), 30);
  VARIANT ref;
  V_VT(&ref) = VT_BYREF | VT_ARRAY | VT_UI1;
  V_ARRAYREF(&ref) = &V_ARRAY(array.get());
  EXPECT_EQ(Kind::kOther, remote::ReplyFromVariant(ref).kind);
}

}  // namespace
