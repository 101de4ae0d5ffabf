#include "remote/dcom_connection.h"

#include <oleauto.h>

#include <cstring>
#include <optional>

#include "remote/app_server.h"
#include "remote/com_error.h"
#include "remote/com_types.h"
#include "remote/connect_rules.h"

using Microsoft::WRL::ComPtr;

namespace remote {

static_assert(kContextThisComputerOnly == (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER));
static_assert(kContextAnyServer == (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER));
static_assert(kContextRemoteOnly == CLSCTX_REMOTE_SERVER);

namespace {

// Looked up once, when the module loads: older systems had no DCOM in ole32.
CreationFunctions::CoCreateInstanceExFn LookUpCoCreateInstanceEx() {
  HMODULE ole32 = GetModuleHandleW(L"ole32.dll");
  if (!ole32) return nullptr;
  return reinterpret_cast<CreationFunctions::CoCreateInstanceExFn>(
      reinterpret_cast<void*>(GetProcAddress(ole32, "CoCreateInstanceEx")));
}

const CreationFunctions kSystemFunctions = {&CoCreateInstance, LookUpCoCreateInstanceEx(), &GetComputerNameA,
                                            &CLSIDFromProgID};

[[noreturn]] void ThrowSystemError(HRESULT hr) {
  const auto code = static_cast<std::uint32_t>(hr);
  throw ComError(ComErrorText("", SystemErrorText(hr), code), code);
}

[[noreturn]] void ThrowCallError(HRESULT hr, std::string_view description) {
  const auto code = static_cast<std::uint32_t>(hr);
  throw ComError(ComErrorText(description, SystemErrorText(hr), code), code);
}

bool IsNullGuid(const GUID& guid) { return IsEqualGUID(guid, GUID_NULL) != FALSE; }

std::optional<std::string> ThisComputerName(const CreationFunctions& functions) {
  char buffer[16];  // MAX_COMPUTERNAME_LENGTH + 1: a longer name fails and counts as another
  DWORD size = sizeof buffer;
  if (!functions.get_computer_name(buffer, &size)) return std::nullopt;
  return std::string(buffer, size);
}

// The description that the object attached to its failure, through ISupportErrorInfo.
std::string ErrorInfoDescription(IUnknown* object, REFIID iid) {
  ComPtr<ISupportErrorInfo> support;
  if (FAILED(object->QueryInterface(IID_PPV_ARGS(&support))) || support->InterfaceSupportsErrorInfo(iid) != S_OK)
    return {};
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, &info) != S_OK || !info) return {};
  Bstr description;
  if (FAILED(info->GetDescription(description.Put()))) return {};
  return description.ToUtf8();
}

}  // namespace

const CreationFunctions& SystemCreationFunctions() { return kSystemFunctions; }

DCOMConnection::DCOMConnection(const CreationFunctions& functions) : functions_(functions) {}

void DCOMConnection::SetServerGUID(const GUID& guid) {
  if (IsEqualGUID(guid, server_guid_)) return;
  SetConnected(false);
  server_guid_ = guid;
}

void DCOMConnection::SetServerName(std::string name) {
  if (name == server_name_) return;
  SetConnected(false);
  server_name_ = std::move(name);
}

void DCOMConnection::SetComputerName(std::string name) {
  if (name == computer_name_) return;
  SetConnected(false);
  computer_name_ = std::move(name);
}

void DCOMConnection::SetConnected(bool connected) {
  if (connected == Connected()) return;
  if (connected)
    Connect();
  else
    Disconnect();
  if (on_change_) on_change_(connected);
}

CLSID DCOMConnection::ClassId() const {
  if (ChooseClassIdSource(IsNullGuid(server_guid_), server_name_, name_) == ClassIdSource::kServerGuid)
    return server_guid_;
  CLSID clsid{};
  const HRESULT hr = functions_.clsid_from_prog_id(Utf8ToWide(server_name_).c_str(), &clsid);
  if (FAILED(hr)) ThrowSystemError(hr);
  return clsid;
}

ComPtr<IUnknown> DCOMConnection::CreateObject(const CLSID& clsid) const {
  std::optional<std::string> this_computer;
  const bool dcom = functions_.co_create_instance_ex != nullptr;
  if (!computer_name_.empty() && dcom) this_computer = ThisComputerName(functions_);
  const Creation creation = ChooseCreation(computer_name_, dcom, this_computer);

  ComPtr<IUnknown> object;
  if (!creation.named_computer) {
    const HRESULT hr = functions_.co_create_instance(clsid, nullptr, creation.context, IID_IUnknown,
                                                     reinterpret_cast<void**>(object.GetAddressOf()));
    if (FAILED(hr)) ThrowSystemError(hr);
    return object;
  }
  std::wstring computer = AnsiToWide(computer_name_);
  COSERVERINFO server_info{};
  server_info.pwszName = computer.data();
  MULTI_QI request{&IID_IUnknown, nullptr, S_OK};
  const HRESULT hr = functions_.co_create_instance_ex(clsid, nullptr, creation.context, &server_info, 1, &request);
  object.Attach(request.pItf);  // owned whatever the results say
  if (FAILED(hr)) ThrowSystemError(hr);
  if (FAILED(request.hr)) ThrowSystemError(request.hr);
  return object;
}

void DCOMConnection::Connect() {
  const ComPtr<IUnknown> object = CreateObject(ClassId());
  ComPtr<IDispatch> dispatch;
  if (FAILED(object.As(&dispatch)) || !dispatch) throw ComError("Interface not supported", static_cast<std::uint32_t>(E_NOINTERFACE));
  server_ = std::move(dispatch);
}

void DCOMConnection::Disconnect() { server_.Reset(); }

data::RecordReply DCOMConnection::GetRecords(const std::string& provider, std::int32_t count, std::int32_t options,
                                             const std::string& command_text) {
  if (!Connected()) SetConnected(true);
  const Bstr provider_name = Bstr::FromUtf8(provider);
  const Bstr command = Bstr::FromUtf8(command_text);
  Variant params;
  V_VT(params.get()) = VT_NULL;
  Variant owner_data;
  Variant result;
  LONG records_sent = 0;

  ComPtr<IAppServer> app_server;
  if (SUCCEEDED(server_.As(&app_server)) && app_server) {
    SetErrorInfo(0, nullptr);  // so that an old description is not taken for this failure
    const HRESULT hr = app_server->AS_GetRecords(provider_name.get(), count, &records_sent, options, command.get(),
                                                 params.get(), owner_data.get(), result.Put());
    if (FAILED(hr)) ThrowCallError(hr, ErrorInfoDescription(app_server.Get(), __uuidof(IAppServer)));
  } else {
    // Arguments in reverse order; they borrow the strings and variants above.
    VARIANTARG args[7];
    for (auto& arg : args) VariantInit(&arg);
    V_VT(&args[6]) = VT_BSTR;
    V_BSTR(&args[6]) = provider_name.get();
    V_VT(&args[5]) = VT_I4;
    V_I4(&args[5]) = count;
    V_VT(&args[4]) = VT_BYREF | VT_I4;
    V_I4REF(&args[4]) = &records_sent;
    V_VT(&args[3]) = VT_I4;
    V_I4(&args[3]) = options;
    V_VT(&args[2]) = VT_BSTR;
    V_BSTR(&args[2]) = command.get();
    V_VT(&args[1]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[1]) = params.get();
    V_VT(&args[0]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[0]) = owner_data.get();
    DISPPARAMS dispparams{args, nullptr, 7, 0};
    ExcepInfo exception;
    UINT bad_argument = 0;
    const HRESULT hr = server_->Invoke(kGetRecordsDispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                       &dispparams, result.Put(), &exception, &bad_argument);
    if (hr == DISP_E_EXCEPTION) {
      if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
      const HRESULT code = FAILED(exception.scode) ? exception.scode : hr;
      const std::wstring_view description(exception.bstrDescription ? exception.bstrDescription : L"",
                                          SysStringLen(exception.bstrDescription));
      ThrowCallError(code, WideToUtf8(description));
    }
    if (FAILED(hr)) ThrowCallError(hr, {});
  }

  data::RecordReply reply = ReplyFromVariant(*result);
  reply.records_sent = records_sent;
  return reply;
}

data::RecordReply ReplyFromVariant(const VARIANT& result) {
  data::RecordReply reply;
  if (V_VT(&result) == VT_NULL) {
    reply.kind = data::RecordReply::Kind::kNull;
    return reply;
  }
  reply.kind = data::RecordReply::Kind::kOther;
  const VARTYPE type = V_VT(&result);
  if ((type & VT_ARRAY) == 0 || (type & VT_BYREF) != 0) return reply;
  const VARTYPE element = type & VT_TYPEMASK;
  SAFEARRAY* array = V_ARRAY(&result);
  if (!array || SafeArrayGetDim(array) != 1) return reply;
  LONG upper = 0;
  if (FAILED(SafeArrayGetUBound(array, 1, &upper)) || upper <= 20) return reply;
  // Only a byte array is the packet's image; other elements (variants, strings) are not.
  if ((element != VT_UI1 && element != VT_I1) || SafeArrayGetElemsize(array) != 1) return reply;
  const std::size_t size = array->rgsabound[0].cElements;
  SafeArrayData data(array);
  if (!data.get() && size > 0) return reply;
  reply.kind = data::RecordReply::Kind::kPacket;
  reply.packet.resize(size);
  if (size > 0) std::memcpy(reply.packet.data(), data.get(), size);
  return reply;
}

}  // namespace remote
