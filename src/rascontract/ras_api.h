// Remote-access records, constants and entry points in the platform's ANSI forms.
//
// The contract between the remote-access service (rasservice/, built as RASAPI32.DLL) and the
// dial-up component (src/dialer/), which binds the entry points at run time and never imports
// them. The records are the earliest published layouts; their leading size field selects the
// layout, so the sizes below are part of the binary interface. Do not include the platform's own
// remote-access headers beside this.
#pragma once

#include <windows.h>

// ---- Field lengths (without the terminating zero) ----
constexpr int RAS_MaxEntryName = 256;
constexpr int RAS_MaxDeviceType = 16;
constexpr int RAS_MaxDeviceName = 128;
constexpr int RAS_MaxPhoneNumber = 128;
constexpr int RAS_MaxCallbackNumber = RAS_MaxPhoneNumber;
constexpr int RAS_MaxUserName = 256;  // UNLEN
constexpr int RAS_MaxPassword = 256;  // PWLEN
constexpr int RAS_MaxDomain = 15;     // DNLEN

// ---- Connection handle ----
DECLARE_HANDLE(HRASCONN);
typedef HRASCONN* LPHRASCONN;

// ---- Connection states ----
enum RASCONNSTATE {
    RASCS_OpenPort = 0,
    RASCS_PortOpened = 1,
    RASCS_ConnectDevice = 2,
    RASCS_DeviceConnected = 3,
    RASCS_AllDevicesConnected = 4,
    RASCS_Authenticate = 5,
    RASCS_AuthNotify = 6,
    RASCS_AuthRetry = 7,
    RASCS_AuthCallback = 8,
    RASCS_AuthChangePassword = 9,
    RASCS_AuthProject = 10,
    RASCS_AuthLinkSpeed = 11,
    RASCS_AuthAck = 12,
    RASCS_ReAuthenticate = 13,
    RASCS_Authenticated = 14,
    RASCS_PrepareForCallback = 15,
    RASCS_WaitForModemReset = 16,
    RASCS_WaitForCallback = 17,
    RASCS_Projected = 18,
    RASCS_StartAuthentication = 19,
    RASCS_CallbackComplete = 20,
    RASCS_LogonNetwork = 21,
    RASCS_SubEntryConnected = 22,
    RASCS_SubEntryDisconnected = 23,

    RASCS_PAUSED = 0x1000,
    RASCS_Interactive = RASCS_PAUSED,
    RASCS_RetryAuthentication = RASCS_PAUSED + 1,
    RASCS_CallbackSetByCaller = RASCS_PAUSED + 2,
    RASCS_PasswordExpired = RASCS_PAUSED + 3,

    RASCS_DONE = 0x2000,
    RASCS_Connected = RASCS_DONE,
    RASCS_Disconnected = RASCS_DONE + 1,
};

// Projections named by RasGetProjectionInfoA.
enum RASPROJECTION {
    RASP_Amb = 0x10000,
    RASP_PppNbf = 0x803F,
    RASP_PppIpx = 0x802B,
    RASP_PppIp = 0x8021,
    RASP_PppCcp = 0x80FD,
    RASP_PppLcp = 0xC021,
    RASP_Slip = 0x20000,
};

// ---- Error codes ----
// General codes of the platform (ERROR_INVALID_HANDLE 6, ERROR_INVALID_PARAMETER 87,
// ERROR_CALL_NOT_IMPLEMENTED 120, ERROR_INSUFFICIENT_BUFFER 122, ERROR_INVALID_NAME 123,
// ERROR_ALREADY_EXISTS 183, ERROR_DLL_NOT_FOUND 1157) come from <winerror.h>.

// Remote-access codes; values above RASBASE are errors, values up to it are states.
constexpr DWORD RASBASE = 600;
constexpr DWORD ERROR_INVALID_PORT_HANDLE = RASBASE + 1;
constexpr DWORD ERROR_PORT_ALREADY_OPEN = RASBASE + 2;
constexpr DWORD ERROR_BUFFER_TOO_SMALL = RASBASE + 3;
constexpr DWORD ERROR_WRONG_INFO_SPECIFIED = RASBASE + 4;
constexpr DWORD ERROR_PORT_NOT_CONNECTED = RASBASE + 6;
constexpr DWORD ERROR_DEVICE_DOES_NOT_EXIST = RASBASE + 8;
constexpr DWORD ERROR_BUFFER_INVALID = RASBASE + 10;
constexpr DWORD ERROR_PORT_NOT_FOUND = RASBASE + 15;
constexpr DWORD ERROR_ALREADY_DISCONNECTING = RASBASE + 17;
constexpr DWORD ERROR_PORT_NOT_OPEN = RASBASE + 18;
constexpr DWORD ERROR_PORT_DISCONNECTED = RASBASE + 19;
constexpr DWORD ERROR_CANNOT_OPEN_PHONEBOOK = RASBASE + 21;
constexpr DWORD ERROR_CANNOT_LOAD_PHONEBOOK = RASBASE + 22;
constexpr DWORD ERROR_CANNOT_FIND_PHONEBOOK_ENTRY = RASBASE + 23;
constexpr DWORD ERROR_CANNOT_WRITE_PHONEBOOK = RASBASE + 24;
constexpr DWORD ERROR_CORRUPT_PHONEBOOK = RASBASE + 25;
constexpr DWORD ERROR_DISCONNECTION = RASBASE + 28;
constexpr DWORD ERROR_REMOTE_DISCONNECTION = RASBASE + 29;
constexpr DWORD ERROR_HARDWARE_FAILURE = RASBASE + 30;
constexpr DWORD ERROR_USER_DISCONNECTION = RASBASE + 31;
constexpr DWORD ERROR_INVALID_SIZE = RASBASE + 32;
constexpr DWORD ERROR_PORT_NOT_AVAILABLE = RASBASE + 33;
constexpr DWORD ERROR_UNKNOWN = RASBASE + 35;
constexpr DWORD ERROR_REQUEST_TIMEOUT = RASBASE + 38;
constexpr DWORD ERROR_ACCT_DISABLED = RASBASE + 47;
constexpr DWORD ERROR_PASSWD_EXPIRED = RASBASE + 48;
constexpr DWORD ERROR_NO_DIALIN_PERMISSION = RASBASE + 49;
constexpr DWORD ERROR_SERVER_NOT_RESPONDING = RASBASE + 50;
constexpr DWORD ERROR_FROM_DEVICE = RASBASE + 51;
constexpr DWORD ERROR_UNRECOGNIZED_RESPONSE = RASBASE + 52;
constexpr DWORD ERROR_DEVICE_NOT_READY = RASBASE + 66;
constexpr DWORD ERROR_NO_CONNECTION = RASBASE + 68;
constexpr DWORD ERROR_LINE_BUSY = RASBASE + 76;
constexpr DWORD ERROR_VOICE_ANSWER = RASBASE + 77;
constexpr DWORD ERROR_NO_ANSWER = RASBASE + 78;
constexpr DWORD ERROR_NO_CARRIER = RASBASE + 79;
constexpr DWORD ERROR_NO_DIALTONE = RASBASE + 80;
constexpr DWORD ERROR_AUTHENTICATION_FAILURE = RASBASE + 91;
constexpr DWORD ERROR_PORT_OR_DEVICE = RASBASE + 92;
constexpr DWORD ERROR_PPP_TIMEOUT = RASBASE + 118;

// ---- Dial-progress notification ----
// Registered window message posted to a window notifier: wParam = state, lParam = error code.
constexpr const char RASDIALEVENT[] = "RASDialEvent";
constexpr UINT WM_RASDIALEVENT = 0xCCCD;  // used when registration fails

// Notifier types of RasDialA.
constexpr DWORD RAS_NOTIFIER_FUNC = 0;            // RASDIALFUNC
constexpr DWORD RAS_NOTIFIER_FUNC1 = 1;           // RASDIALFUNC1
constexpr DWORD RAS_NOTIFIER_FUNC2 = 2;           // RASDIALFUNC2
constexpr DWORD RAS_NOTIFIER_HWND = 0xFFFFFFFF;   // lpvNotifier is a window handle

typedef VOID(WINAPI* RASDIALFUNC)(UINT unMsg, RASCONNSTATE state, DWORD dwError);
typedef VOID(WINAPI* RASDIALFUNC1)(HRASCONN hrasconn, UINT unMsg, RASCONNSTATE state, DWORD dwError,
                                   DWORD dwExtendedError);
typedef DWORD(WINAPI* RASDIALFUNC2)(ULONG_PTR dwCallbackId, DWORD dwSubEntry, HRASCONN hrasconn,
                                    UINT unMsg, RASCONNSTATE state, DWORD dwError,
                                    DWORD dwExtendedError);

constexpr const char RASDT_Modem[] = "modem";

// ---- Records ----
// The platform packs these records to 4 bytes on every architecture.
#pragma pack(push, 4)

struct RASENTRYNAMEA {
    DWORD dwSize;
    CHAR szEntryName[RAS_MaxEntryName + 1];
};

struct RASDIALPARAMSA {
    DWORD dwSize;
    CHAR szEntryName[RAS_MaxEntryName + 1];
    CHAR szPhoneNumber[RAS_MaxPhoneNumber + 1];
    CHAR szCallbackNumber[RAS_MaxCallbackNumber + 1];
    CHAR szUserName[RAS_MaxUserName + 1];
    CHAR szPassword[RAS_MaxPassword + 1];
    CHAR szDomain[RAS_MaxDomain + 1];
};

struct RASCONNSTATUSA {
    DWORD dwSize;
    RASCONNSTATE rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
};

struct RASCONNA {
    DWORD dwSize;
    HRASCONN hrasconn;
    CHAR szEntryName[RAS_MaxEntryName + 1];
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
};

struct RASDEVINFOA {
    DWORD dwSize;
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
};

struct RASDIALEXTENSIONS {
    DWORD dwSize;
    DWORD dwfOptions;
    HWND hwndParent;
    ULONG_PTR reserved;
};

struct RASCTRYINFOA {
    DWORD dwSize;
    DWORD dwCountryID;
    DWORD dwNextCountryID;
    DWORD dwCountryCode;
    DWORD dwCountryNameOffset;
};

#pragma pack(pop)

// Records only passed through by entry points that the service does not implement.
struct RASENTRYA;
struct RASMONITORDLGA;

typedef RASENTRYNAMEA* LPRASENTRYNAMEA;
typedef RASDIALPARAMSA* LPRASDIALPARAMSA;
typedef RASCONNSTATUSA* LPRASCONNSTATUSA;
typedef RASCONNA* LPRASCONNA;
typedef RASDEVINFOA* LPRASDEVINFOA;
typedef RASDIALEXTENSIONS* LPRASDIALEXTENSIONS;
typedef RASCTRYINFOA* LPRASCTRYINFOA;
typedef RASENTRYA* LPRASENTRYA;
typedef RASMONITORDLGA* LPRASMONITORDLGA;

// Size values of the layouts above; the dial-up component fills exactly these.
constexpr DWORD RASENTRYNAMEA_SIZE = 264;
constexpr DWORD RASDIALPARAMSA_SIZE = 1052;
constexpr DWORD RASCONNSTATUSA_SIZE = 160;
static_assert(sizeof(RASENTRYNAMEA) == RASENTRYNAMEA_SIZE);
static_assert(sizeof(RASDIALPARAMSA) == RASDIALPARAMSA_SIZE);
static_assert(sizeof(RASCONNSTATUSA) == RASCONNSTATUSA_SIZE);
static_assert(sizeof(RASDEVINFOA) == 152);
static_assert(sizeof(RASCTRYINFOA) == 20);
static_assert(sizeof(RASCONNA) == (sizeof(void*) == 8 ? 416 : 412));
static_assert(sizeof(RASDIALEXTENSIONS) == (sizeof(void*) == 8 ? 24 : 16));

// ---- Entry points (all stdcall, ANSI) ----
typedef DWORD(WINAPI* PFN_RasDialA)(LPRASDIALEXTENSIONS lpRasDialExtensions, LPCSTR lpszPhonebook,
                                    LPRASDIALPARAMSA lpRasDialParams, DWORD dwNotifierType,
                                    LPVOID lpvNotifier, LPHRASCONN lphRasConn);
typedef DWORD(WINAPI* PFN_RasEnumConnectionsA)(LPRASCONNA lprasconn, LPDWORD lpcb,
                                               LPDWORD lpcConnections);
typedef DWORD(WINAPI* PFN_RasEnumEntriesA)(LPCSTR reserved, LPCSTR lpszPhonebook,
                                           LPRASENTRYNAMEA lprasentryname, LPDWORD lpcb,
                                           LPDWORD lpcEntries);
typedef DWORD(WINAPI* PFN_RasGetConnectStatusA)(HRASCONN hrasconn, LPRASCONNSTATUSA lprasconnstatus);
typedef DWORD(WINAPI* PFN_RasGetErrorStringA)(UINT uErrorValue, LPSTR lpszErrorString,
                                              DWORD cBufSize);
typedef DWORD(WINAPI* PFN_RasHangUpA)(HRASCONN hrasconn);
typedef DWORD(WINAPI* PFN_RasGetEntryDialParamsA)(LPCSTR lpszPhonebook,
                                                  LPRASDIALPARAMSA lprasdialparams,
                                                  LPBOOL lpfPassword);
typedef DWORD(WINAPI* PFN_RasSetEntryDialParamsA)(LPCSTR lpszPhonebook,
                                                  LPRASDIALPARAMSA lprasdialparams,
                                                  BOOL fRemovePassword);
typedef BOOL(WINAPI* PFN_RasMonitorDlgA)(LPSTR lpszDeviceName, LPRASMONITORDLGA lpInfo);
typedef DWORD(WINAPI* PFN_RasEditPhonebookEntryA)(HWND hwnd, LPCSTR lpszPhonebook,
                                                  LPCSTR lpszEntryName);
typedef DWORD(WINAPI* PFN_RasCreatePhonebookEntryA)(HWND hwnd, LPCSTR lpszPhonebook);
typedef DWORD(WINAPI* PFN_RasGetProjectionInfoA)(HRASCONN hrasconn, RASPROJECTION rasprojection,
                                                 LPVOID lpprojection, LPDWORD lpcb);
typedef DWORD(WINAPI* PFN_RasGetCountryInfoA)(LPRASCTRYINFOA lpRasCtryInfo, LPDWORD lpdwSize);
typedef DWORD(WINAPI* PFN_RasGetEntryPropertiesA)(LPCSTR lpszPhonebook, LPCSTR lpszEntry,
                                                  LPRASENTRYA lpRasEntry, LPDWORD lpdwEntryInfoSize,
                                                  LPBYTE lpbDeviceInfo, LPDWORD lpdwDeviceInfoSize);
typedef DWORD(WINAPI* PFN_RasSetEntryPropertiesA)(LPCSTR lpszPhonebook, LPCSTR lpszEntry,
                                                  LPRASENTRYA lpRasEntry, DWORD dwEntryInfoSize,
                                                  LPBYTE lpbDeviceInfo, DWORD dwDeviceInfoSize);
typedef DWORD(WINAPI* PFN_RasRenameEntryA)(LPCSTR lpszPhonebook, LPCSTR lpszOldEntry,
                                           LPCSTR lpszNewEntry);
typedef DWORD(WINAPI* PFN_RasDeleteEntryA)(LPCSTR lpszPhonebook, LPCSTR lpszEntry);
typedef DWORD(WINAPI* PFN_RasValidateEntryNameA)(LPCSTR lpszPhonebook, LPCSTR lpszEntry);
typedef DWORD(WINAPI* PFN_RasEnumDevicesA)(LPRASDEVINFOA lpRasDevInfo, LPDWORD lpcb,
                                           LPDWORD lpcDevices);
