#pragma once
// The connection to the application server object over COM/DCOM, and the record request
// through it. Windows only.
#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include <cstdint>
#include <functional>
#include <string>

#include "data/record_request.h"

namespace remote {

// The class of the system's application server, VeldoMISServer.CoStoreProduct.
inline constexpr GUID kStoreProductClsid = {
    0x15F46FC4, 0x4736, 0x4AAF, {0x90, 0x87, 0x8A, 0x67, 0xC5, 0x9E, 0x42, 0xF4}};

// The system calls that the connection makes to create the server object. Tests substitute
// their own to watch the arguments.
struct CreationFunctions {
  using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
  using CoCreateInstanceExFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, COSERVERINFO*, DWORD, MULTI_QI*);
  using GetComputerNameAFn = BOOL(WINAPI*)(LPSTR, LPDWORD);
  using ClsidFromProgIdFn = HRESULT(WINAPI*)(LPCOLESTR, LPCLSID);

  CoCreateInstanceFn co_create_instance = nullptr;
  CoCreateInstanceExFn co_create_instance_ex = nullptr;  // null: the system has no DCOM
  GetComputerNameAFn get_computer_name = nullptr;
  ClsidFromProgIdFn clsid_from_prog_id = nullptr;
};

// The system's functions. CoCreateInstanceEx is the one that ole32 offered when the module
// was loaded, or null.
const CreationFunctions& SystemCreationFunctions();

// DCOMConnection1: creates the application server object on this or a named computer and
// keeps its IDispatch as the server reference. The record request goes through IAppServer
// when the object offers it, else through IDispatch::Invoke.
//
// Errors are thrown as ComError (remote/com_error.h). The connection never initialises COM:
// the calling thread must have done so.
class DCOMConnection : public data::RecordRequest {
 public:
  explicit DCOMConnection(const CreationFunctions& functions = SystemCreationFunctions());
  ~DCOMConnection() override = default;  // releases the server object
  DCOMConnection(const DCOMConnection&) = delete;
  DCOMConnection& operator=(const DCOMConnection&) = delete;

  // The component name that the messages use, "DCOMConnection1".
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // The class to create. Changing it disconnects first.
  const GUID& ServerGUID() const { return server_guid_; }
  void SetServerGUID(const GUID& guid);
  // The registered name (ProgID, UTF-8), used only when ServerGUID is all zeros. Changing it
  // disconnects first.
  const std::string& ServerName() const { return server_name_; }
  void SetServerName(std::string name);
  // The computer that runs the server: 8-bit text in the system's ANSI code page, as the host
  // gave it; empty for this computer. Assigning a different name disconnects first.
  const std::string& ComputerName() const { return computer_name_; }
  void SetComputerName(std::string name);
  bool LoginPrompt() const { return false; }

  // Connected exactly while the connection holds a server reference.
  bool Connected() const { return server_ != nullptr; }
  // true: creates the object (nothing changes when connected already); false: releases it.
  // Throws ComError when the object cannot be created; the connection stays disconnected.
  void SetConnected(bool connected);
  // The server reference; null while not connected.
  IDispatch* AppServer() const { return server_.Get(); }

  // Called after each change of Connected with the new state (the registered data sets).
  void SetOnChange(std::function<void(bool connected)> on_change) { on_change_ = std::move(on_change); }

  // The record request (AS_GetRecords), connecting first when not connected. Parameters go
  // as a null variant, owner data as an empty one; what comes back in them is dropped.
  data::RecordReply GetRecords(const std::string& provider, std::int32_t count, std::int32_t options,
                               const std::string& command_text) override;

 private:
  void Connect();
  void Disconnect();
  CLSID ClassId() const;
  Microsoft::WRL::ComPtr<IUnknown> CreateObject(const CLSID& clsid) const;

  CreationFunctions functions_;
  std::string name_ = "DCOMConnection1";
  GUID server_guid_ = kStoreProductClsid;
  std::string server_name_ = "VeldoMISServer.CoStoreProduct";
  std::string computer_name_;
  Microsoft::WRL::ComPtr<IDispatch> server_;
  std::function<void(bool)> on_change_;
};

// The dispatch id of AS_GetRecords.
inline constexpr DISPID kGetRecordsDispId = 20000001;

// The record request's result as the data set judges it: VT_NULL is kNull; a one-dimensional
// array of bytes (VT_UI1 or VT_I1) whose upper bound is above 20 is kPacket with its bytes;
// everything else, arrays of other element types included, is kOther.
data::RecordReply ReplyFromVariant(const VARIANT& result);

}  // namespace remote
