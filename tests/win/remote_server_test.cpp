// The real demo application server end to end: registered with /regserver in this prefix,
// started by COM, reached through IAppServer (type-library marshaller) and through IDispatch.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/packet.h"
#include "data/packet_reader.h"
#include "data/packet_writer.h"
#include "remote/app_server.h"
#include "remote/com_error.h"
#include "remote/com_types.h"
#include "remote/dcom_connection.h"

using Microsoft::WRL::ComPtr;

namespace {

// {246BF953-E060-4EB2-92C2-49D2D4EAB605}: an object that offers the real server through
// IDispatch alone, so that the connection takes the Invoke path to it.
constexpr GUID kDispatchOnlyClsid = {0x246bf953, 0xe060, 0x4eb2, {0x92, 0xc2, 0x49, 0xd2, 0xd4, 0xea, 0xb6, 0x05}};

std::filesystem::path BinFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).parent_path();
}

DWORD RunProgram(std::wstring command) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 999;
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 998;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

class DispatchOnly final : public IDispatch {
 public:
  explicit DispatchOnly(ComPtr<IDispatch> target, int* invokes) : target_(std::move(target)), invokes_(invokes) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return target_->GetTypeInfoCount(n); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return target_->GetTypeInfo(i, l, t); }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID i, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
    return target_->GetIDsOfNames(i, n, c, l, d);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID i, LCID l, WORD f, DISPPARAMS* p, VARIANT* r, EXCEPINFO* e,
                                   UINT* a) override {
    ++*invokes_;
    return target_->Invoke(id, i, l, f, p, r, e, a);
  }

 private:
  ULONG references_ = 1;
  ComPtr<IDispatch> target_;
  int* invokes_;
};

class DispatchOnlyFactory final : public IClassFactory {
 public:
  explicit DispatchOnlyFactory(int* invokes) : invokes_(invokes) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives in the fixture
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override {
    ComPtr<IDispatch> real;
    const HRESULT hr = CoCreateInstance(remote::kStoreProductClsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&real));
    if (FAILED(hr)) return hr;
    auto* only = new DispatchOnly(std::move(real), invokes_);
    const HRESULT qi = only->QueryInterface(iid, object);
    only->Release();
    return qi;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  int* invokes_;
};

// The sample unit table as the server sends it: GBK strings and factors.
struct UnitRow {
  std::string base;
  double factor;
  std::string unit;
};
const std::vector<UnitRow> kUnits = {
    {"\xD6\xA7", 1, "\xD6\xA7"},    // 支 = 1 支
    {"\xD6\xA7", 20, "\xB0\xFC"},   // 包 = 20 支
    {"\xD6\xA7", 20, "\xBA\xD0"},   // 盒 = 20 支
    {"\xB0\xFC", 10, "\xCC\xF5"},   // 条 = 10 包
    {"\xCC\xF5", 50, "\xBC\xFE"},   // 件 = 50 条
};

void ExpectUnitTable(const data::RecordReply& reply) {
  ASSERT_EQ(data::RecordReply::Kind::kPacket, reply.kind);
  EXPECT_EQ(5, reply.records_sent);
  data::Packet packet;
  const data::ReadStatus status = data::ReadPacket(reply.packet, &packet);
  ASSERT_TRUE(status.ok()) << status.message;
  const auto& columns = packet.columns();
  ASSERT_EQ(3u, columns.size());
  const char* names[] = {"SPDW01", "ZHXS00", "SPDW02"};
  const char* types[] = {"String", "Float", "String"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(names[i], columns[i].name);
    EXPECT_EQ(types[i], columns[i].TypeName());
  }
  EXPECT_EQ(6, columns[0].Width().value_or(0));
  EXPECT_EQ(6, columns[2].Width().value_or(0));
  ASSERT_EQ(kUnits.size(), packet.table.RowCount());
  for (std::size_t r = 0; r < kUnits.size(); ++r) {
    EXPECT_EQ(data::Value(kUnits[r].base), packet.table.Get(r, 0)) << "row " << r;
    EXPECT_EQ(data::Value(kUnits[r].factor), packet.table.Get(r, 1)) << "row " << r;
    EXPECT_EQ(data::Value(kUnits[r].unit), packet.table.Get(r, 2)) << "row " << r;
  }
}

// A file in the server's store for the time of a test.
class StoreFile {
 public:
  StoreFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
      : path_(BinFolder() / "store" / name) {
    std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
  }
  ~StoreFile() { std::filesystem::remove(path_); }

 private:
  std::filesystem::path path_;
};

class RemoteServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    registered_ = RunProgram(L"\"" + (BinFolder() / L"veldo_server.exe").wstring() + L"\" /regserver") == 0;
  }
  void SetUp() override {
    ASSERT_TRUE(registered_) << "veldo_server.exe /regserver failed";
    ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  }
  void TearDown() override {
    if (cookie_) CoRevokeClassObject(cookie_);
    CoUninitialize();
  }

  // A connection that reaches the real server through IDispatch only.
  std::unique_ptr<remote::DCOMConnection> DispatchConnection() {
    if (!cookie_) {
      EXPECT_HRESULT_SUCCEEDED(CoRegisterClassObject(kDispatchOnlyClsid, &factory_, CLSCTX_LOCAL_SERVER,
                                                     REGCLS_MULTIPLEUSE, &cookie_));
    }
    auto c = std::make_unique<remote::DCOMConnection>();
    c->SetServerGUID(kDispatchOnlyClsid);
    return c;
  }

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

  static bool registered_;
  int invokes_ = 0;
  DispatchOnlyFactory factory_{&invokes_};
  DWORD cookie_ = 0;
};
bool RemoteServer::registered_ = false;

TEST_F(RemoteServer, UnitTableThroughTheInterface) {
  remote::DCOMConnection c;
  c.SetConnected(true);
  ComPtr<IAppServer> app_server;  // served across processes by the type-library marshaller
  ASSERT_HRESULT_SUCCEEDED(c.AppServer()->QueryInterface(IID_PPV_ARGS(&app_server)));
  ExpectUnitTable(c.GetRecords("dsp_VeldoUnit", -1, 1, ""));
}

TEST_F(RemoteServer, UnitTableThroughDispatch) {
  auto c = DispatchConnection();
  ExpectUnitTable(c->GetRecords("dsp_VeldoUnit", -1, 1, ""));
  EXPECT_EQ(1, invokes_);
}

TEST_F(RemoteServer, UnknownProviderIsNamed) {
  auto through_dispatch = DispatchConnection();
  const remote::ComError e = ErrorOf([&] { through_dispatch->GetRecords("dsp_Nothing", -1, 1, ""); });
  EXPECT_STREQ("Provider not found: dsp_Nothing", e.what());
  EXPECT_EQ(static_cast<std::uint32_t>(E_FAIL), e.code());

  // Through the interface Windows carries the description back; Wine only the code.
  remote::DCOMConnection through_interface;
  const remote::ComError f = ErrorOf([&] { through_interface.GetRecords("dsp_Nothing", -1, 1, ""); });
  EXPECT_EQ(static_cast<std::uint32_t>(E_FAIL), f.code());
  const std::string without = remote::ComErrorText("", remote::SystemErrorText(E_FAIL), f.code());
  EXPECT_TRUE(f.what() == std::string("Provider not found: dsp_Nothing") || f.what() == without) << f.what();
}

TEST_F(RemoteServer, ResetRequestGetsANullReply) {
  remote::DCOMConnection c;
  const data::RecordReply reply = c.GetRecords("dsp_VeldoUnit", 0, 2, "");
  EXPECT_EQ(data::RecordReply::Kind::kNull, reply.kind);
  EXPECT_EQ(0, reply.records_sent);
}

TEST_F(RemoteServer, ServesPacketFilesOfItsStoreByName) {
  data::PacketWriter writer({data::WideStringColumn("NAME", 10), data::IntegerColumn("QTY")});
  writer.AddRow({std::u16string(u"\u5355\u4f4d"), std::int64_t{7}});
  writer.AddRow({data::Value{}, std::int64_t{-1}});
  const std::vector<std::uint8_t> bytes = writer.Finish();
  const StoreFile good("remote_test_table.cds", bytes);
  const StoreFile bad("remote_test_broken.cds", {0x96, 0x19, 0xE0, 0xBD, 1, 0, 0});

  remote::DCOMConnection c;
  const data::RecordReply reply = c.GetRecords("REMOTE_TEST_TABLE", -1, 1, "");  // names without regard to case
  EXPECT_EQ(data::RecordReply::Kind::kPacket, reply.kind);
  EXPECT_EQ(bytes, reply.packet);
  EXPECT_EQ(2, reply.records_sent);

  auto through_dispatch = DispatchConnection();
  const remote::ComError e = ErrorOf([&] { through_dispatch->GetRecords("remote_test_broken", -1, 1, ""); });
  EXPECT_EQ(0u, std::string(e.what()).find("remote_test_broken.cds is no data packet: ")) << e.what();

  ComPtr<IAppServer> app_server;
  ASSERT_HRESULT_SUCCEEDED(c.AppServer()->QueryInterface(IID_PPV_ARGS(&app_server)));
  remote::Variant names;
  ASSERT_HRESULT_SUCCEEDED(app_server->AS_GetProviderNames(names.Put()));
  ASSERT_EQ(VT_ARRAY | VT_VARIANT, V_VT(&*names));
  std::vector<std::wstring> listed;
  remote::SafeArrayData data(V_ARRAY(&*names));
  const auto* items = static_cast<const VARIANT*>(data.get());
  for (ULONG i = 0; i < V_ARRAY(&*names)->rgsabound[0].cElements; ++i) listed.push_back(V_BSTR(&items[i]));
  EXPECT_EQ(L"dsp_VeldoUnit", listed.at(0));
  EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), L"remote_test_table"));
  EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), L"remote_test_broken"));
}

// Registered with /store, the server reads units.txt from that folder at every request.
TEST_F(RemoteServer, UnitTableFromTheRegisteredStoreFolder) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path folder = std::filesystem::path(temp) / L"veldo_remote_store";
  std::filesystem::create_directories(folder);
  const std::wstring exe = L"\"" + (BinFolder() / L"veldo_server.exe").wstring() + L"\"";
  ASSERT_EQ(0u, RunProgram(exe + L" /regserver /store \"" + folder.wstring() + L"\""));
  struct Restore {  // the other tests want the store beside the program
    std::wstring exe;
    std::filesystem::path folder;
    ~Restore() {
      RunProgram(exe + L" /regserver");
      std::filesystem::remove_all(folder);
    }
  } restore{exe, folder};

  struct Case {
    const char* text;     // units.txt; null: no file
    const char* failure;  // the start of the description; null: success
  };
  const Case cases[] = {
      {nullptr, "Cannot read "},
      {"支\tabc\t支\n", "units.txt line 1: \"abc\" is no number"},
      {"# comment\n\n支\t1\n", "units.txt line 3: 3 tab-separated cells expected"},
      {"支\t1\t😀\n", "units.txt line 1: \"😀\" has no GBK form"},
      // A byte-order mark, CR LF and an empty cell (null).
      {"\xEF\xBB\xBF" "件\t\t条\r\n", nullptr},
  };
  auto c = DispatchConnection();
  for (const Case& k : cases) {
    std::filesystem::remove(folder / "units.txt");
    if (k.text) std::ofstream(folder / "units.txt", std::ios::binary) << k.text;
    if (k.failure) {
      const remote::ComError e = ErrorOf([&] { c->GetRecords("dsp_VeldoUnit", -1, 1, ""); });
      EXPECT_EQ(0u, std::string(e.what()).find(k.failure)) << e.what();
      continue;
    }
    const data::RecordReply reply = c->GetRecords("dsp_VeldoUnit", -1, 1, "");
    EXPECT_EQ(1, reply.records_sent);
    data::Packet packet;
    ASSERT_TRUE(data::ReadPacket(reply.packet, &packet).ok());
    ASSERT_EQ(1u, packet.table.RowCount());
    EXPECT_EQ(data::Value(std::string("\xBC\xFE")), packet.table.Get(0, 0));  // 件 in GBK
    EXPECT_TRUE(packet.table.IsNull(0, 1));
    EXPECT_EQ(data::Value(std::string("\xCC\xF5")), packet.table.Get(0, 2));  // 条
  }
}

TEST_F(RemoteServer, OtherMethodsFailClearly) {
  remote::DCOMConnection c;
  c.SetConnected(true);
  // AS_Execute(provider, command text, params, owner data) through Invoke.
  remote::Bstr provider(L"dsp_VeldoUnit"), command(L"");
  remote::Variant params, owner_data;
  VARIANTARG args[4];
  V_VT(&args[3]) = VT_BSTR;
  V_BSTR(&args[3]) = provider.get();
  V_VT(&args[2]) = VT_BSTR;
  V_BSTR(&args[2]) = command.get();
  V_VT(&args[1]) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&args[1]) = params.get();
  V_VT(&args[0]) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&args[0]) = owner_data.get();
  DISPPARAMS p{args, nullptr, 4, 0};
  remote::ExcepInfo exception;
  remote::Variant result;
  EXPECT_EQ(DISP_E_EXCEPTION, c.AppServer()->Invoke(20000006, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &p,
                                                    result.get(), &exception, nullptr));
  EXPECT_EQ(E_NOTIMPL, exception.scode);
  ASSERT_NE(nullptr, exception.bstrDescription);
  EXPECT_STREQ(L"AS_Execute is not supported by this server", exception.bstrDescription);
}

}  // namespace
