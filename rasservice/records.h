// Later layouts of the records that callers may hand us, and bounded copies into and out of the
// fixed-size text fields. Callers pick a layout with the leading size field; the service accepts the
// earliest one (what the dial-up component uses) and the later published ones it can fill.
#pragma once

#include "ras_api.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace ras {

#pragma pack(push, 4)

// Each later layout repeats the earlier fields in full: a text field that follows text fields
// starts right after them, not after the earlier record's padding.
struct RasEntryNameV2 {  // adds the entry's flags and phonebook
    DWORD dwSize;
    CHAR szEntryName[RAS_MaxEntryName + 1];
    DWORD dwFlags;
    CHAR szPhonebookPath[MAX_PATH + 1];
};

struct RasDialParamsV2 {  // adds the sub-entry and call-back identifier
    DWORD dwSize;
    CHAR szEntryName[RAS_MaxEntryName + 1];
    CHAR szPhoneNumber[RAS_MaxPhoneNumber + 1];
    CHAR szCallbackNumber[RAS_MaxCallbackNumber + 1];
    CHAR szUserName[RAS_MaxUserName + 1];
    CHAR szPassword[RAS_MaxPassword + 1];
    CHAR szDomain[RAS_MaxDomain + 1];
    DWORD dwSubEntry;
    ULONG_PTR dwCallbackId;
};

struct RasDialParamsV3 {  // adds the interface index
    RasDialParamsV2 v2;   // ends on a pointer-sized field, so nothing is shifted
    DWORD dwIfIndex;
};

struct RasConnStatusV2 {  // adds the phone number
    DWORD dwSize;
    RASCONNSTATE rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
    CHAR szPhoneNumber[RAS_MaxPhoneNumber + 1];
};

struct RasTunnelEndpoint {
    DWORD dwType;
    BYTE addr[16];
};

struct RasConnStatusV3 {  // adds tunnel end points and a sub-state
    RasConnStatusV2 v2;
    RasTunnelEndpoint localEndPoint;
    RasTunnelEndpoint remoteEndPoint;
    DWORD rasconnsubstate;
};

struct RasConnV2 {  // adds the phonebook and sub-entry
    DWORD dwSize;
    HRASCONN hrasconn;
    CHAR szEntryName[RAS_MaxEntryName + 1];
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
    CHAR szPhonebook[MAX_PATH];
    DWORD dwSubEntry;
};

struct RasConnV3 {  // adds the entry's identifier
    RasConnV2 v2;
    GUID guidEntry;
};

struct RasConnV4 {  // adds flags and the logon session
    RasConnV3 v3;
    DWORD dwFlags;
    LUID luid;
};

#pragma pack(pop)

constexpr bool k64 = sizeof(void*) == 8;
static_assert(sizeof(RasEntryNameV2) == 532);
static_assert(offsetof(RasConnStatusV2, szPhoneNumber) == 158);
static_assert(offsetof(RasConnV2, szPhonebook) == (k64 ? 415 : 411));
static_assert(sizeof(RasDialParamsV2) == (k64 ? 1064 : 1060));
static_assert(sizeof(RasDialParamsV3) == (k64 ? 1068 : 1064));
static_assert(sizeof(RasConnStatusV2) == 288);
static_assert(sizeof(RasConnStatusV3) == 332);
static_assert(sizeof(RasConnV2) == (k64 ? 680 : 676));
static_assert(sizeof(RasConnV3) == (k64 ? 696 : 692));
static_assert(sizeof(RasConnV4) == (k64 ? 708 : 704));

inline bool valid_entry_name_size(DWORD s) { return s == sizeof(RASENTRYNAMEA) || s == sizeof(RasEntryNameV2); }
inline bool valid_dial_params_size(DWORD s) {
    return s == sizeof(RASDIALPARAMSA) || s == sizeof(RasDialParamsV2) || s == sizeof(RasDialParamsV3);
}
inline bool valid_conn_status_size(DWORD s) {
    return s == sizeof(RASCONNSTATUSA) || s == sizeof(RasConnStatusV2) || s == sizeof(RasConnStatusV3);
}
inline bool valid_conn_size(DWORD s) {
    return s == sizeof(RASCONNA) || s == sizeof(RasConnV2) || s == sizeof(RasConnV3) || s == sizeof(RasConnV4);
}

// Text of a fixed field; a caller that filled the field without a terminator gets it cut at the
// field's end rather than a read past it.
template <size_t N>
std::string field_text(const CHAR (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

// Copies text into a fixed field, cut to fit, always terminated.
template <size_t N>
void set_field(CHAR (&field)[N], std::string_view text) {
    size_t n = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

// A caller's zero-terminated argument, bounded so that a missing terminator cannot run away.
constexpr size_t kMaxArgument = 32768;
inline bool bounded_arg(LPCSTR s, std::string& out) {
    size_t n = strnlen(s, kMaxArgument + 1);
    if (n > kMaxArgument) return false;
    out.assign(s, n);
    return true;
}

}  // namespace ras
