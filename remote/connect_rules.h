#pragma once
// Which class the connection creates, and where: the class identifier's source and the
// creation call with its context mask. Portable: no <windows.h>.
#include <cstdint>
#include <optional>
#include <string_view>

namespace remote {

// Context masks (CLSCTX_* values).
inline constexpr std::uint32_t kContextThisComputerOnly = 5;  // in-process or local server
inline constexpr std::uint32_t kContextAnyServer = 21;        // in-process, local or remote
inline constexpr std::uint32_t kContextRemoteOnly = 16;       // remote server

enum class ClassIdSource {
  kServerGuid,  // ServerGUID, which is not all zeros
  kServerName,  // the class registered for ServerName (CLSIDFromProgID)
};

// ServerGUID wins unless it is all zeros; then a non-empty ServerName. Throws ComError
// "Cannot connect, <connection_name> must contain a valid ServerName or ServerGUID" when
// neither is usable.
ClassIdSource ChooseClassIdSource(bool server_guid_is_null, std::string_view server_name,
                                  std::string_view connection_name);

struct Creation {
  bool named_computer = false;  // CoCreateInstanceEx naming the computer; else CoCreateInstance
  std::uint32_t context = kContextThisComputerOnly;
};

// An empty computer name: this computer only. A named one needs CoCreateInstanceEx (throws
// ComError "DCOM not installed" without it) and allows every kind of server when it names
// this computer, only a remote one otherwise. `this_computer` is nullopt when this
// computer's name could not be read; it is not consulted for an empty computer name.
Creation ChooseCreation(std::string_view computer_name, bool dcom_installed,
                        std::optional<std::string_view> this_computer);

// Computer names (8-bit, in the ANSI code page 936) compared without regard to ASCII letter
// case. A lead byte (0x81..0xFE) and the byte after it are compared exactly: the second byte
// of a double-byte character may fall in the range of ASCII letters.
bool SameComputerName(std::string_view a, std::string_view b);

}  // namespace remote
