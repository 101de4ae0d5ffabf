// The unit table in the query window, through the real module, against a scripted server
// registered inside the test process at the store's real class id: failures reach the error
// box with their exact texts and leave an empty, usable window; the rows, the keys and the
// computer name.
#include <windows.h>
#include <oleauto.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/win/fake_factory.h"
#include "data/packet.h"
#include "data/packet_writer.h"
#include "remote/dcom_connection.h"
#include "tests/win/driver.h"

namespace {

using driver::Session;

// One record request as the fake received it.
struct Call {
  LONG count = 0;
  LONG options = 0;
};

// What the fake does; the test reads `calls` afterwards.
struct Script {
  bool offer_dispatch = true;
  HRESULT result = S_OK;
  std::wstring description;
  std::function<void(VARIANT*)> reply = [](VARIANT* v) { V_VT(v) = VT_NULL; };
  std::vector<Call> calls;
};

// A server object that answers the record request through IDispatch::Invoke.
class FakeServer final : public IDispatch {
 public:
  explicit FakeServer(Script* script) : script_(script) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || (script_->offer_dispatch && IsEqualIID(iid, IID_IDispatch))) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    if (id != remote::kGetRecordsDispId) return DISP_E_MEMBERNOTFOUND;
    if (p->cArgs != 7 || !result) return DISP_E_BADPARAMCOUNT;
    const VARIANTARG* a = p->rgvarg;  // in reverse order
    if (V_VT(&a[5]) != VT_I4 || V_VT(&a[3]) != VT_I4 || V_VT(&a[4]) != (VT_BYREF | VT_I4)) return DISP_E_TYPEMISMATCH;
    script_->calls.push_back({V_I4(&a[5]), V_I4(&a[3])});
    *V_I4REF(&a[4]) = 0;
    if (SUCCEEDED(script_->result)) {
      script_->reply(result);
      return S_OK;
    }
    if (!exception) return script_->result;
    exception->scode = script_->result;
    exception->bstrDescription = SysAllocString(script_->description.c_str());
    return DISP_E_EXCEPTION;
  }

 private:
  ULONG references_ = 1;
  Script* script_;
};

void SetBytes(VARIANT* v, const std::vector<std::uint8_t>& bytes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
  SafeArrayUnaccessData(array);
  V_VT(v) = VT_ARRAY | VT_UI1;
  V_ARRAY(v) = array;
}

// A reply that sends `bytes` as the packet.
std::function<void(VARIANT*)> Sends(std::vector<std::uint8_t> bytes) {
  return [bytes](VARIANT* v) { SetBytes(v, bytes); };
}

// GBK bytes of 支, 包, 条.
const std::string kZhi = "\xd6\xa7", kBao = "\xb0\xfc", kTiao = "\xcc\xf5";

// A unit table packet of the given columns; every row has one value per column.
std::vector<std::uint8_t> Packet(std::vector<data::Column> columns, const std::vector<std::vector<data::Value>>& rows,
                                 const std::vector<std::string_view>& options = {}) {
  data::PacketWriter w(std::move(columns));
  for (auto option : options) w.SetOption(option);
  for (const auto& row : rows) EXPECT_TRUE(w.AddRow(row));
  return w.Finish();
}

std::vector<data::Column> UnitColumns() {
  return {data::StringColumn("SPDW01", 6), data::FloatColumn("ZHXS00"), data::StringColumn("SPDW02", 6)};
}

// The three units: 支 20 包, 包 0.5 条, 条 null 支.
std::vector<std::vector<data::Value>> UnitRows() {
  return {{kZhi, 20.0, kBao}, {kBao, 0.5, kTiao}, {kTiao, data::Value{}, kZhi}};
}

std::wstring Ansi(const std::string& s) {
  wchar_t text[16] = {};
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), text, 16);
  return std::wstring(text, static_cast<size_t>(n > 0 ? n : 0));
}

using Rows = std::vector<std::vector<std::wstring>>;

Rows ExpectedUnitRows() {
  return {{Ansi(kZhi), L"20", Ansi(kBao)}, {Ansi(kBao), L"0.5", Ansi(kTiao)}, {Ansi(kTiao), L"", Ansi(kZhi)}};
}

Rows GridRows(HWND grid) {
  Rows rows;
  const int count = ListView_GetItemCount(grid);
  for (int r = 0; r < count; ++r) {
    std::vector<std::wstring> row;
    for (int c = 0; c < 3; ++c) {
      wchar_t text[64] = {};
      ListView_GetItemText(grid, r, c, text, 64);
      row.push_back(text);
    }
    rows.push_back(row);
  }
  return rows;
}

int Selected(HWND grid) { return ListView_GetNextItem(grid, -1, LVNI_SELECTED); }

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

// A message box as the user saw it.
struct Box {
  std::wstring caption;
  std::wstring text;
  HWND owner = nullptr;
};

// Answers each message box with the next of `buttons` (OK when they run out), keeping what
// each showed.
class BoxRecorder {
 public:
  explicit BoxRecorder(std::vector<int> buttons = {}) : buttons_(std::move(buttons)) {
    current() = this;
    timer_ = SetTimer(nullptr, 0, 20, &BoxRecorder::Tick);
  }
  ~BoxRecorder() {
    KillTimer(nullptr, timer_);
    current() = nullptr;
  }
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;
  std::vector<Box> boxes;

 private:
  static BoxRecorder*& current() {
    static BoxRecorder* recorder = nullptr;
    return recorder;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    BoxRecorder* self = current();
    if (!self) return;
    for (HWND hwnd : driver::ThreadWindows()) {
      if (IsWindowVisible(hwnd) && driver::ClassOf(hwnd) == L"#32770" && !GetPropW(hwnd, L"recorded")) {
        SetPropW(hwnd, L"recorded", reinterpret_cast<HANDLE>(1));
        self->boxes.push_back({driver::TextOf(hwnd), driver::MessageBoxText(hwnd), GetWindow(hwnd, GW_OWNER)});
        const size_t i = self->boxes.size() - 1;
        PostMessageW(hwnd, WM_COMMAND, i < self->buttons_.size() ? self->buttons_[i] : IDOK, 0);
      }
    }
  }
  std::vector<int> buttons_;
  UINT_PTR timer_;
};

class UnitTableFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    auto* factory = new FakeFactory<FakeServer, Script>(&script);
    ASSERT_HRESULT_SUCCEEDED(CoRegisterClassObject(remote::kStoreProductClsid, factory, CLSCTX_LOCAL_SERVER,
                                                   REGCLS_MULTIPLEUSE, &cookie_));
    factory->Release();
  }
  void TearDown() override {
    if (cookie_) CoRevokeClassObject(cookie_);
    CoUninitialize();
  }

  // Shows the window; once it is up with no box open, `check` runs with the window and its
  // grid, and then "退出" is clicked. The window must be gone afterwards.
  void Show(const std::function<void(HWND query, HWND grid)>& check, driver::Strings strings = driver::Strings()) {
    ASSERT_NE(nullptr, module.showdll());
    Session session;
    bool checked = false;
    session.Run(module.showdll(), host.hwnd(),
                {[&] {
                   HWND query = driver::QueryWindow();
                   if (!query || driver::MessageBoxWindow()) return false;
                   HWND grid = driver::Grid(query);
                   EXPECT_NE(nullptr, grid);
                   if (grid) check(query, grid);
                   checked = true;
                   return true;
                 },
                 [&] {
                   HWND query = driver::QueryWindow();
                   if (query && !driver::MessageBoxWindow()) driver::PostExit(query);
                   return true;
                 }},
                strings);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(session.finished_all);
    EXPECT_EQ(nullptr, driver::QueryWindow()) << "退出 did not close the window";
    EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
  }

  Script script;
  driver::Module module;
  driver::HostWindow host;

 private:
  DWORD cookie_ = 0;
};

// ---------------------------------------------------------------------------------------
// Failures while opening: the error box's exact text, an empty grid, and the requests sent.

struct FailureCase {
  const char* name;
  std::function<void(Script&)> arrange;
  const wchar_t* message;
  size_t requests;  // 0: nothing reaches the server; 1: no reset; 2: the reset follows
};

std::vector<data::Column> WithColumn(size_t index, data::Column column) {
  auto columns = UnitColumns();
  columns[index] = std::move(column);
  return columns;
}

const FailureCase kFailures[] = {
    {"NullReply", [](Script&) {}, L"cds_VeldoUnit: Missing data provider or data packet.", 2},
    {"IntegerReply",
     [](Script& s) {
       s.reply = [](VARIANT* v) {
         V_VT(v) = VT_I4;
         V_I4(v) = 7;
       };
     },
     L"Invalid data packet.", 2},
    {"TenByteArray", [](Script& s) { s.reply = Sends(std::vector<std::uint8_t>(10, 1)); }, L"Invalid data packet.",
     2},
    {"ServerFailure",
     [](Script& s) {
       s.result = E_FAIL;
       s.description = L"Provider not found: dsp_VeldoUnit. ";
     },
     L"Provider not found: dsp_VeldoUnit.", 2},
    {"MissingColumn",
     [](Script& s) {
       s.reply = Sends(Packet({data::StringColumn("SPDW01", 6), data::FloatColumn("ZHXS00")}, {{kZhi, 1.0}}));
     },
     L"cds_VeldoUnit: Field 'SPDW02' not found.", 2},
    {"WideStringColumn",
     [](Script& s) { s.reply = Sends(Packet(WithColumn(0, data::WideStringColumn("SPDW01", 6)), {})); },
     L"cds_VeldoUnit: Type mismatch for field 'SPDW01', expecting: String actual: WideString.", 2},
    {"BcdColumn", [](Script& s) { s.reply = Sends(Packet(WithColumn(1, data::BcdColumn("ZHXS00", 15, 2)), {})); },
     L"cds_VeldoUnit: Type mismatch for field 'ZHXS00', expecting: Float actual: BCD.", 2},
    {"IntegerColumn",
     [](Script& s) {
       s.reply = Sends(Packet(WithColumn(1, data::IntegerColumn("ZHXS00")), {{kZhi, std::int64_t{20}, kBao}}));
     },
     L"cds_VeldoUnit: Type mismatch for field 'ZHXS00', expecting: Float actual: Integer.", 2},
    {"MismatchWithNoResetCall",
     [](Script& s) {
       s.reply = Sends(Packet(WithColumn(1, data::IntegerColumn("ZHXS00")), {}, {data::kNoResetCallOption}));
     },
     L"cds_VeldoUnit: Type mismatch for field 'ZHXS00', expecting: Float actual: Integer.", 1},
    {"NoDispatch", [](Script& s) { s.offer_dispatch = false; }, L"Interface not supported.", 0},
};

class UnitTableFailure : public UnitTableFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(UnitTableFailure, ShowsTheErrorAndAnEmptyUsableWindow) {
  const FailureCase& c = GetParam();
  c.arrange(script);
  BoxRecorder recorder;
  Show([&](HWND, HWND grid) {
    EXPECT_EQ(0, ListView_GetItemCount(grid));
    EXPECT_EQ(-1, Selected(grid));
  });
  ASSERT_EQ(1u, recorder.boxes.size());
  EXPECT_EQ(c.message, recorder.boxes[0].text);

  ASSERT_EQ(c.requests, script.calls.size());
  if (c.requests >= 1) {
    EXPECT_EQ(-1, script.calls[0].count);  // the whole table
  }
  if (c.requests == 2) {
    EXPECT_EQ(0, script.calls[1].count);
    EXPECT_EQ(2, script.calls[1].options);
  }
}

INSTANTIATE_TEST_SUITE_P(Failures, UnitTableFailure, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------
// The rows: whatever the column names' case, order or float kind, the grid shows the fields.

struct LayoutCase {
  const char* name;
  std::vector<data::Column> columns;
  std::vector<size_t> field_of_column;  // which field's value each packet column carries
};

const LayoutCase kLayouts[] = {
    {"AsDesigned", UnitColumns(), {0, 1, 2}},
    {"MoneyFactor",
     {data::StringColumn("SPDW01", 6), data::FloatColumn("ZHXS00", true), data::StringColumn("SPDW02", 6)},
     {0, 1, 2}},
    {"NamesInOtherCase",
     {data::StringColumn("spdw01", 6), data::FloatColumn("Zhxs00"), data::StringColumn("sPdW02", 6)},
     {0, 1, 2}},
    {"OtherColumnOrder",
     {data::StringColumn("SPDW02", 6), data::StringColumn("SPDW01", 6), data::FloatColumn("ZHXS00")},
     {2, 0, 1}},
};

class UnitTableRows : public UnitTableFixture, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(UnitTableRows, ListsTheRowsInOrderWithTheFirstCurrent) {
  const LayoutCase& c = GetParam();
  std::vector<std::vector<data::Value>> rows;
  for (const auto& units : UnitRows()) {
    std::vector<data::Value> row;
    for (size_t field : c.field_of_column) row.push_back(units[field]);
    rows.push_back(row);
  }
  script.reply = Sends(Packet(c.columns, rows));
  BoxRecorder recorder;
  Show([&](HWND, HWND grid) {
    EXPECT_EQ(ExpectedUnitRows(), GridRows(grid));
    EXPECT_EQ(0, Selected(grid));
  });
  EXPECT_TRUE(recorder.boxes.empty());
  ASSERT_EQ(1u, script.calls.size());
  EXPECT_EQ(-1, script.calls[0].count);
  if (GetACP() == 936) {
    EXPECT_EQ(L"支", Ansi(kZhi));
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, UnitTableRows, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------
// The keys of the grid.

void Key(HWND grid, WPARAM key) {
  SendMessageW(grid, WM_KEYDOWN, key, 1);
  SendMessageW(grid, WM_KEYUP, key, 0xC0000001);
}

// Ctrl+Delete, with Control held down in the thread's keyboard state.
void CtrlDelete(HWND grid) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  const BYTE control = keys[VK_CONTROL];
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(grid, WM_KEYDOWN, VK_DELETE, 1);
  keys[VK_CONTROL] = control;
  SetKeyboardState(keys);
  SendMessageW(grid, WM_KEYUP, VK_DELETE, 0xC0000001);
}

using UnitTableKeys = UnitTableFixture;

TEST_F(UnitTableKeys, MoveTheSelectionAndAddNothing) {
  script.reply = Sends(Packet(UnitColumns(), UnitRows()));
  Show([&](HWND, HWND grid) {
    const struct {
      WPARAM key;
      int selected;
    } steps[] = {
        {VK_DOWN, 1}, {VK_DOWN, 2}, {VK_DOWN, 2},  // Down on the last row adds no row
        {VK_UP, 1},   {VK_HOME, 0}, {VK_END, 2},   {VK_INSERT, 2}, {VK_RETURN, 2},
    };
    for (const auto& step : steps) {
      Key(grid, step.key);
      driver::Pump();
      EXPECT_EQ(step.selected, Selected(grid)) << "key " << step.key;
      EXPECT_EQ(3, ListView_GetItemCount(grid)) << "key " << step.key;
    }
    SendMessageW(grid, WM_CHAR, L'a', 1);
    driver::Pump();
    EXPECT_EQ(ExpectedUnitRows(), GridRows(grid));
    EXPECT_EQ(2, Selected(grid));
  });
}

struct DeleteCase {
  const char* name;
  std::vector<std::string_view> options;
  int button;
  std::vector<std::wstring> boxes;  // texts after "Delete record?"
  Rows rows_after;                  // the second row was current
};

const DeleteCase kDeletes[] = {
    {"Cancel", {}, IDCANCEL, {}, ExpectedUnitRows()},
    {"Ok", {}, IDOK, {}, {ExpectedUnitRows()[0], ExpectedUnitRows()[2]}},
    {"OkWithDisableDeletes",
     {data::kDisableDeletesOption},
     IDOK,
     {L"cds_VeldoUnit: Deletes are not allowed."},
     ExpectedUnitRows()},
};

class UnitTableDelete : public UnitTableFixture, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(UnitTableDelete, CtrlDeleteAsksFirst) {
  const DeleteCase& c = GetParam();
  script.reply = Sends(Packet(UnitColumns(), UnitRows(), c.options));
  std::vector<Box> boxes;
  Show([&](HWND, HWND grid) {
    Key(grid, VK_DOWN);
    BoxRecorder recorder({c.button});
    CtrlDelete(grid);
    driver::Pump();
    boxes = recorder.boxes;
    EXPECT_EQ(c.rows_after, GridRows(grid));
    EXPECT_EQ(1, Selected(grid));
    // A Delete without Control asks nothing.
    Key(grid, VK_DELETE);
    driver::Pump();
    EXPECT_EQ(boxes.size(), recorder.boxes.size());
  });
  ASSERT_EQ(1 + c.boxes.size(), boxes.size());
  EXPECT_EQ(L"Delete record?", boxes[0].text);
  EXPECT_EQ(L"Confirm", boxes[0].caption);
  for (size_t i = 0; i < c.boxes.size(); ++i) EXPECT_EQ(c.boxes[i], boxes[1 + i].text);
  ASSERT_EQ(1u, script.calls.size());  // nothing of the delete reaches the server
}

INSTANTIATE_TEST_SUITE_P(Answers, UnitTableDelete, ::testing::ValuesIn(kDeletes),
                         [](const ::testing::TestParamInfo<DeleteCase>& info) { return info.param.name; });

TEST_F(UnitTableKeys, CtrlDeleteOnAnEmptyTableDoesNothing) {
  script.reply = Sends(Packet(UnitColumns(), {}));
  BoxRecorder recorder;
  Show([&](HWND, HWND grid) {
    EXPECT_EQ(0, ListView_GetItemCount(grid));
    CtrlDelete(grid);
    driver::Pump();
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_EQ(0, ListView_GetItemCount(grid));
  });
  EXPECT_TRUE(recorder.boxes.empty());
}

// ---------------------------------------------------------------------------------------
// The server computer's name.

using UnitTableComputer = UnitTableFixture;

TEST_F(UnitTableComputer, ThisComputerInOtherCaseOpensTheTable) {
  const std::string here = SwapCase(ThisComputer());
  ASSERT_FALSE(here.empty());
  script.reply = Sends(Packet(UnitColumns(), UnitRows()));
  driver::Strings strings;
  strings.server = here.c_str();
  BoxRecorder recorder;
  Show([&](HWND, HWND grid) { EXPECT_EQ(ExpectedUnitRows(), GridRows(grid)); }, strings);
  EXPECT_TRUE(recorder.boxes.empty());
  EXPECT_EQ(1u, script.calls.size());
}

TEST_F(UnitTableComputer, AnotherComputerShowsTheSystemsErrorAndAnEmptyGrid) {
  script.reply = Sends(Packet(UnitColumns(), UnitRows()));
  driver::Strings strings;
  strings.server = "NO-SUCH-HOST";
  BoxRecorder recorder;
  Show([&](HWND, HWND grid) { EXPECT_EQ(0, ListView_GetItemCount(grid)); }, strings);
  ASSERT_EQ(1u, recorder.boxes.size());
  EXPECT_FALSE(recorder.boxes[0].text.empty());
  EXPECT_TRUE(script.calls.empty());
}

}  // namespace
