#include "ras_component.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Forms.h"
#include "SystemLibrary.h"

RTL_IMPLEMENT_CLASS(TRAS);

namespace {

constexpr int32_t kLibraryMissing = ERROR_DLL_NOT_FOUND;  // 1157
constexpr int32_t kNoConnection = ERROR_INVALID_PORT_HANDLE;  // 601
constexpr uint16_t kNothingReported = 9999;  // SavedState before the first report
constexpr int kMaxEntries = 100;
// How long HangUp sleeps between status polls when no message arrives. The service gives no
// signal when a handle goes away, so it has to poll; this keeps the wait off the CPU.
constexpr DWORD kHangUpPollMs = 10;

// The entry points, shared by every instance: a second binding overwrites them with the same
// addresses.
struct RasEntryPoints {
  PFN_RasDialA RasDialA;
  PFN_RasEnumConnectionsA RasEnumConnectionsA;
  PFN_RasEnumEntriesA RasEnumEntriesA;
  PFN_RasGetConnectStatusA RasGetConnectStatusA;
  PFN_RasGetErrorStringA RasGetErrorStringA;
  PFN_RasHangUpA RasHangUpA;
  PFN_RasGetEntryDialParamsA RasGetEntryDialParamsA;
  PFN_RasSetEntryDialParamsA RasSetEntryDialParamsA;
  PFN_RasMonitorDlgA RasMonitorDlgA;
  PFN_RasEditPhonebookEntryA RasEditPhonebookEntryA;
  PFN_RasCreatePhonebookEntryA RasCreatePhonebookEntryA;
  PFN_RasGetProjectionInfoA RasGetProjectionInfoA;
  PFN_RasGetCountryInfoA RasGetCountryInfoA;
  PFN_RasGetEntryPropertiesA RasGetEntryPropertiesA;
  PFN_RasSetEntryPropertiesA RasSetEntryPropertiesA;
  PFN_RasRenameEntryA RasRenameEntryA;
  PFN_RasDeleteEntryA RasDeleteEntryA;
  PFN_RasValidateEntryNameA RasValidateEntryNameA;
  PFN_RasEnumDevicesA RasEnumDevicesA;
};
RasEntryPoints g_ras{};

template <class T>
void Lookup(HMODULE library, T& slot, const char* name) {
  slot = gui::LibraryFunction<T>(library, name);
}

// A field of a service record, read no further than the field even without a terminator.
template <size_t N>
std::string FieldText(const CHAR (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

// Copies s into a record field, cut to limit characters and terminated.
template <size_t N>
void CopyCut(CHAR (&field)[N], const std::string& s, size_t limit) {
  static_assert(N > 0);
  size_t n = std::min({s.size(), limit, N - 1});
  std::memcpy(field, s.data(), n);
  field[n] = '\0';
}

using StateEvent = rtl::TNotifyEvent TRAS::*;

struct StateInfo {
  uint16_t state;
  const char* text;  // null: "Unknown State - " up to 600, else the error text
  StateEvent event;  // null: none here (8192 and 8193 have their own dispatchers)
};

const StateInfo kStates[] = {
    {RASCS_OpenPort, "Opening Serial Port", &TRAS::OnAboutToOpenPort},
    {RASCS_PortOpened, "Serial Port Opened", &TRAS::OnPortOpened},
    {RASCS_ConnectDevice, "Connecting/Dialling", &TRAS::OnAboutToConnDev},
    {RASCS_DeviceConnected, "Connected/Answered", &TRAS::OnDevConnected},
    {RASCS_AllDevicesConnected, "Connected/Negotiation", &TRAS::OnAllDevsConnected},
    {RASCS_Authenticate, "Validating User and Password", &TRAS::OnAuthenticate},
    {RASCS_AuthNotify, "Authentication Notification", &TRAS::OnAuthNotify},
    {RASCS_AuthRetry, nullptr, &TRAS::OnAuthRetry},
    {RASCS_AuthCallback, "Authentication Call Back", &TRAS::OnAuthCallBack},
    {RASCS_AuthChangePassword, nullptr, &TRAS::OnAuthChangePassword},
    {RASCS_AuthProject, "Projection Started", &TRAS::OnAuthProject},
    {RASCS_AuthLinkSpeed, "Calculating Link speed", &TRAS::OnAuthLinkSpeed},
    {RASCS_AuthAck, "Authentication acknowledged", &TRAS::OnAuthAck},
    {RASCS_ReAuthenticate, "Reauthenticating", &TRAS::OnReAuthenticate},
    {RASCS_Authenticated, "Login Authenticated", &TRAS::OnAuthenticated},
    {RASCS_PrepareForCallback, "Preparing for Callback", &TRAS::OnPrepareforCallback},
    {RASCS_WaitForModemReset, "Waiting for Modem Reset", &TRAS::OnWaitForModemReset},
    {RASCS_WaitForCallback, "Waiting for Callback", &TRAS::OnCallBack},
    {RASCS_Projected, "Projection Completion", nullptr},
    {RASCS_StartAuthentication, "Start Authentication", nullptr},
    {RASCS_CallbackComplete, "Callback Complete", nullptr},
    {RASCS_LogonNetwork, "Logon to Network", nullptr},
    {RASCS_Interactive, nullptr, &TRAS::OnInteractiveStarted},
    {RASCS_RetryAuthentication, nullptr, &TRAS::OnRetryAuth},
    {RASCS_CallbackSetByCaller, nullptr, nullptr},
    {RASCS_PasswordExpired, nullptr, &TRAS::OnPasswordExpired},
    {RASCS_Connected, "Connected/Online", nullptr},
    {RASCS_Disconnected, "Disconnected/Offline", nullptr},
};

const StateInfo* FindState(uint16_t state) {
  for (const StateInfo& s : kStates)
    if (s.state == state) return &s;
  return nullptr;
}

}  // namespace

// ------------------------------------------------------------------------- construction

TRAS::TRAS(rtl::TComponent* owner) : TComponent(owner) {
  // The rest starts from the member initialisers: no binding, no connection, nothing reported.
  dialEventMessage_ = static_cast<uint16_t>(RegisterWindowMessageA(RASDIALEVENT));
  if (dialEventMessage_ == 0) dialEventMessage_ = WM_RASDIALEVENT;
  ResetStats();
  keyDUNAdap_ = "Dial-Up Adapter";
  keyDUNConn_ = "ConnectSpeed";
  keyDUNXmit_ = "TotalBytesXmit";
  keyDUNRecv_ = "TotalBytesRecvd";
  phoneBookEntries_ = std::make_unique<rtl::TStringList>();
  connections_ = std::make_unique<TConnectionList>();
}

TRAS::~TRAS() {
  CloseConnection();
  phoneBookEntries_.reset();
  connections_.reset();
  UnloadRasLibrary();
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT) RegCloseKey(HKEY_PERFORMANCE_DATA);
#pragma GCC diagnostic pop
}

void TRAS::DeclareProperties(rtl::TClassBuilder<TRAS>& b) {
  b.Str("EntryName", &TRAS::EntryName, &TRAS::SetEntryName);
  b.Str("PhoneNumber", &TRAS::PhoneNumber, &TRAS::SetPhoneNumber);
  b.Str("PhoneBookPath", &TRAS::PhoneBookPath, &TRAS::SetPhoneBookPath);
  b.Str("CallbackNumber", &TRAS::CallbackNumber, &TRAS::SetCallbackNumber);
  b.Str("UserName", &TRAS::UserName, &TRAS::SetUserName);
  b.Str("Password", &TRAS::Password, &TRAS::SetPassword);
  b.Int("RedialAttempts", &TRAS::RedialAttempts, &TRAS::SetRedialAttempts, 1);
  b.Str("Domain", &TRAS::Domain, &TRAS::SetDomain);
  b.Str("DeviceType", &TRAS::DeviceType, &TRAS::SetDeviceType);
  b.Str("DeviceName", &TRAS::DeviceName, &TRAS::SetDeviceName);
  b.Str("DevicePort", &TRAS::DevicePort, &TRAS::SetDevicePort);
  b.StrReadOnly("ClientIP", &TRAS::ClientIP);
  b.StrReadOnly("ServerIP", &TRAS::ServerIP);
  b.IntReadOnly("StatsXmit", &TRAS::StatsXmit);
  b.IntReadOnly("StatsRecv", &TRAS::StatsRecv);
  b.IntReadOnly("StatsConn", &TRAS::StatsConn);
  b.IntReadOnly("LastError", &TRAS::LastError);
  b.IntReadOnly("RASConn", [](const TRAS* r) { return reinterpret_cast<UINT_PTR>(r->RASConn()); });
  b.IntReadOnly("ConnectState", &TRAS::ConnectState);
  b.IntReadOnly("SavedState", &TRAS::SavedState);
  b.IntReadOnly("ConnectError", &TRAS::ConnectError);
  b.Str("StatusStr", &TRAS::StatusStr, &TRAS::SetStatusStr);
  b.StrReadOnly("CurConnName", &TRAS::CurConnName);
  b.IntReadOnly("NumConns", &TRAS::NumConns);
  b.IntReadOnly("CurRASConn", [](const TRAS* r) { return reinterpret_cast<UINT_PTR>(r->CurRASConn()); });
  b.StrReadOnly("PhoneCanonical", &TRAS::PhoneCanonical);
  b.Str("KeyDUNAdap", &TRAS::KeyDUNAdap, &TRAS::SetKeyDUNAdap);
  b.Str("KeyDUNConn", &TRAS::KeyDUNConn, &TRAS::SetKeyDUNConn);
  b.Str("KeyDUNXmit", &TRAS::KeyDUNXmit, &TRAS::SetKeyDUNXmit);
  b.Str("KeyDUNRecv", &TRAS::KeyDUNRecv, &TRAS::SetKeyDUNRecv);

  b.Event("OnStateChanged", &TRAS::OnStateChanged);
  b.Event("OnConnect", &TRAS::OnConnect);
  b.Event("OnDisconnect", &TRAS::OnDisconnect);
  b.Event("OnCallBack", &TRAS::OnCallBack);
  b.Event("OnAboutToOpenPort", &TRAS::OnAboutToOpenPort);
  b.Event("OnPortOpened", &TRAS::OnPortOpened);
  b.Event("OnAboutToConnDev", &TRAS::OnAboutToConnDev);
  b.Event("OnDevConnected", &TRAS::OnDevConnected);
  b.Event("OnAllDevsConnected", &TRAS::OnAllDevsConnected);
  b.Event("OnAuthenticate", &TRAS::OnAuthenticate);
  b.Event("OnAuthNotify", &TRAS::OnAuthNotify);
  b.Event("OnAuthRetry", &TRAS::OnAuthRetry);
  b.Event("OnAuthCallBack", &TRAS::OnAuthCallBack);
  b.Event("OnAuthChangePassword", &TRAS::OnAuthChangePassword);
  b.Event("OnAuthProject", &TRAS::OnAuthProject);
  b.Event("OnAuthLinkSpeed", &TRAS::OnAuthLinkSpeed);
  b.Event("OnAuthAck", &TRAS::OnAuthAck);
  b.Event("OnReAuthenticate", &TRAS::OnReAuthenticate);
  b.Event("OnAuthenticated", &TRAS::OnAuthenticated);
  b.Event("OnPrepareforCallback", &TRAS::OnPrepareforCallback);
  b.Event("OnWaitForModemReset", &TRAS::OnWaitForModemReset);
  b.Event("OnInteractiveStarted", &TRAS::OnInteractiveStarted);
  b.Event("OnRetryAuth", &TRAS::OnRetryAuth);
  b.Event("OnPasswordExpired", &TRAS::OnPasswordExpired);
}

void TRAS::SetPhoneBookPath(const std::string& v) {
  phoneBookPath_ = v;
  GetPhoneBookEntries();
}

void TRAS::SetRedialAttempts(int32_t v) {
  if (v != redialAttempts_) redialAttempts_ = v;
}

void TRAS::ResetStats() {
  statsXmit_ = 0;
  statsRecv_ = 0;
}

// ------------------------------------------------------------------------- library binding

bool TRAS::LoadRasLibrary() {
  if (!rasLoadTried_) {
    g_ras.RasDialA = nullptr;
    rasLoadTried_ = true;
    rasExtAvailable_ = false;
    rasLibrary_ = gui::LoadSystemLibrary("RASAPI32.DLL");  // the system's, never one beside the program
    if (rasLibrary_) {
      Lookup(rasLibrary_, g_ras.RasDialA, "RasDialA");
      Lookup(rasLibrary_, g_ras.RasEnumConnectionsA, "RasEnumConnectionsA");
      Lookup(rasLibrary_, g_ras.RasEnumEntriesA, "RasEnumEntriesA");
      Lookup(rasLibrary_, g_ras.RasGetConnectStatusA, "RasGetConnectStatusA");
      Lookup(rasLibrary_, g_ras.RasGetErrorStringA, "RasGetErrorStringA");
      Lookup(rasLibrary_, g_ras.RasHangUpA, "RasHangUpA");
      Lookup(rasLibrary_, g_ras.RasGetEntryDialParamsA, "RasGetEntryDialParamsA");
      Lookup(rasLibrary_, g_ras.RasSetEntryDialParamsA, "RasSetEntryDialParamsA");
      Lookup(rasLibrary_, g_ras.RasMonitorDlgA, "RasMonitorDlgA");
      Lookup(rasLibrary_, g_ras.RasEditPhonebookEntryA, "RasEditPhonebookEntryA");
      Lookup(rasLibrary_, g_ras.RasCreatePhonebookEntryA, "RasCreatePhonebookEntryA");
      Lookup(rasLibrary_, g_ras.RasGetProjectionInfoA, "RasGetProjectionInfoA");

      rasExtLibrary_ = rasLibrary_;
      Lookup(rasExtLibrary_, g_ras.RasGetCountryInfoA, "RasGetCountryInfoA");
      if (g_ras.RasGetCountryInfoA) {
        rasExtAvailable_ = true;
      } else {
        // Older systems keep the extended entry points in a library of their own.
        rasExtLibrary_ = gui::LoadSystemLibrary("RNAPH.DLL");
        if (rasExtLibrary_) rasExtAvailable_ = true;
      }
      if (rasExtAvailable_) {
        Lookup(rasExtLibrary_, g_ras.RasGetCountryInfoA, "RasGetCountryInfoA");
        Lookup(rasExtLibrary_, g_ras.RasGetEntryPropertiesA, "RasGetEntryPropertiesA");
        Lookup(rasExtLibrary_, g_ras.RasSetEntryPropertiesA, "RasSetEntryPropertiesA");
        Lookup(rasExtLibrary_, g_ras.RasRenameEntryA, "RasRenameEntryA");
        Lookup(rasExtLibrary_, g_ras.RasDeleteEntryA, "RasDeleteEntryA");
        Lookup(rasExtLibrary_, g_ras.RasValidateEntryNameA, "RasValidateEntryNameA");
        Lookup(rasExtLibrary_, g_ras.RasEnumDevicesA, "RasEnumDevicesA");
      }
    }
  }
  return g_ras.RasDialA != nullptr;
}

void TRAS::UnloadRasLibrary() {
  if (rasExtLibrary_ && rasExtLibrary_ != rasLibrary_) FreeLibrary(rasExtLibrary_);
  rasExtLibrary_ = nullptr;
  if (rasLoadTried_ && rasLibrary_) FreeLibrary(rasLibrary_);
  rasLibrary_ = nullptr;
  rasLoadTried_ = false;
}

// ------------------------------------------------------------------------- phonebook

int TRAS::GetPhoneBookEntries() {
  lastError_ = kLibraryMissing;
  if (!LoadRasLibrary()) return lastError_;
  phoneBookEntries_->Clear();
  // A library with RasDialA but without this entry point: say so rather than call nothing.
  if (!g_ras.RasEnumEntriesA) return lastError_ = ERROR_PROC_NOT_FOUND;

  std::vector<RASENTRYNAMEA> records(kMaxEntries);  // zero-filled
  records[0].dwSize = RASENTRYNAMEA_SIZE;
  DWORD bytes = static_cast<DWORD>(records.size() * sizeof(RASENTRYNAMEA));
  DWORD count = 0;
  const char* phonebook = phoneBookPath_.empty() ? nullptr : phoneBookPath_.c_str();
  lastError_ = static_cast<int32_t>(g_ras.RasEnumEntriesA(nullptr, phonebook, records.data(), &bytes, &count));
  if (lastError_ == 0) {
    for (DWORD i = 0; i < count && i < records.size(); ++i) {
      std::string name = FieldText(records[i].szEntryName);
      if (!name.empty()) phoneBookEntries_->Add(name);
    }
  }
  return lastError_;
}

int TRAS::GetEntryDialParams() {
  lastError_ = kLibraryMissing;
  if (!LoadRasLibrary()) return lastError_;
  std::memset(&dialParams_, 0, sizeof dialParams_);
  userName_.clear();
  password_.clear();
  callbackNumber_.clear();
  domain_.clear();
  dialParams_.dwSize = RASDIALPARAMSA_SIZE;
  CopyCut(dialParams_.szEntryName, entryName_, RAS_MaxEntryName);
  if (!g_ras.RasGetEntryDialParamsA) {
    lastError_ = ERROR_PROC_NOT_FOUND;
  } else {
    BOOL passwordSaved = FALSE;
    const char* phonebook = phoneBookPath_.empty() ? nullptr : phoneBookPath_.c_str();
    lastError_ = static_cast<int32_t>(g_ras.RasGetEntryDialParamsA(phonebook, &dialParams_, &passwordSaved));
    if (lastError_ == 0) {
      userName_ = FieldText(dialParams_.szUserName);
      // A password the user did not save is not ours to use, whatever the record holds.
      if (passwordSaved)
        password_ = FieldText(dialParams_.szPassword);
      else
        SecureZeroMemory(dialParams_.szPassword, sizeof dialParams_.szPassword);
      callbackNumber_ = FieldText(dialParams_.szCallbackNumber);
      domain_ = FieldText(dialParams_.szDomain);
      return 0;
    }
  }
  statusStr_ = GetErrorText(lastError_);
  return lastError_;
}

void TRAS::FillDialParams() {
  std::memset(&dialParams_, 0, sizeof dialParams_);
  dialParams_.dwSize = RASDIALPARAMSA_SIZE;
  CopyCut(dialParams_.szEntryName, entryName_, RAS_MaxEntryName);
  CopyCut(dialParams_.szPhoneNumber, phoneNumber_, RAS_MaxPhoneNumber);
  CopyCut(dialParams_.szCallbackNumber, callbackNumber_, RAS_MaxCallbackNumber);
  CopyCut(dialParams_.szUserName, userName_, RAS_MaxUserName);
  CopyCut(dialParams_.szPassword, password_, RAS_MaxPassword);
  CopyCut(dialParams_.szDomain, domain_, RAS_MaxDomain);
}

// ------------------------------------------------------------------------- dialing

void TRAS::CreateNotifyWindow() {
  notifyWindow_ = std::make_unique<gui::TUtilWindow>([this](gui::TMessage& m) { DialEventWndProc(m); });
}

void TRAS::DestroyNotifyWindow() {
  // Often from inside the window's own procedure (a handler that hangs up). Released, it hears
  // nothing more, so progress messages still queued for it are dropped.
  gui::TUtilWindow::Release(std::move(notifyWindow_));
}

int TRAS::Dial() {
  lastError_ = kLibraryMissing;
  if (!LoadRasLibrary()) return lastError_;
  if (rasConn_) CloseConnection();
  if (!notifyWindow_) {
    try {
      CreateNotifyWindow();
    } catch (...) {
      DWORD code = GetLastError();
      lastError_ = static_cast<int32_t>(code ? code : ERROR_NOT_ENOUGH_MEMORY);
      statusStr_ = GetErrorText(lastError_);
      return lastError_;
    }
  }
  rasConn_ = nullptr;
  connectState_ = 0;
  savedState_ = kNothingReported;
  ResetStats();
  FillDialParams();
  const char* phonebook = phoneBookPath_.empty() ? nullptr : phoneBookPath_.c_str();
  lastError_ = static_cast<int32_t>(g_ras.RasDialA(nullptr, phonebook, &dialParams_, RAS_NOTIFIER_HWND,
                                                   notifyWindow_->Handle(), &rasConn_));
  // The service has its own copy now.
  SecureZeroMemory(dialParams_.szPassword, sizeof dialParams_.szPassword);
  if (lastError_ != 0) statusStr_ = GetErrorText(lastError_);
  return lastError_;
}

void TRAS::DialEventWndProc(gui::TMessage& m) {
  if (m.Msg != dialEventMessage_ || !rasConn_) return;
  m.Answer(0);
  const DWORD error = static_cast<DWORD>(m.LParam);
  connectError_ = LOWORD(error);
  if (error != 0) {
    lastError_ = static_cast<int32_t>(error);
    connectState_ = LOWORD(error);
    statusStr_ = GetErrorText(lastError_);
    DoStateChanged();
    return;
  }
  connectState_ = LOWORD(m.WParam);
  statusStr_ = GetStateText();
  rtl::TAliveToken alive = AliveToken();  // OnStateChanged may free the component (its form)
  DoStateChanged();
  if (!alive) return;
  if (connectState_ == RASCS_Connected)
    DoConnect();
  else if (connectState_ == RASCS_Disconnected)
    DoDisconnect();
  else
    DoStateEvent();
}

void TRAS::DoStateChanged() {
  if (!rasConn_ || !OnStateChanged) return;
  bool changed = lastError_ != 0 || connectState_ != savedState_;
  savedState_ = lastError_ != 0 ? 0 : connectState_;  // before the handler, which may free this
  if (changed) OnStateChanged(this);
}

void TRAS::DoStateEvent() {
  if (!rasConn_) return;
  const StateInfo* info = FindState(connectState_);
  if (info && info->event) (this->*(info->event))(this);
}

void TRAS::DoConnect() {
  if (rasConn_) OnConnect(this);
}

void TRAS::DoDisconnect() {
  if (!OnDisconnect) return;
  lastError_ = kLibraryMissing;
  if (!LoadRasLibrary()) return;
  if (g_ras.RasGetConnectStatusA) {
    RASCONNSTATUSA status{};
    status.dwSize = RASCONNSTATUSA_SIZE;
    lastError_ = static_cast<int32_t>(g_ras.RasGetConnectStatusA(rasConn_, &status));
  } else {
    lastError_ = ERROR_PROC_NOT_FOUND;
  }
  const int32_t error = lastError_;
  const std::string text = GetErrorText(error);
  OnDisconnect(this, error, text);
}

// ------------------------------------------------------------------------- texts

std::string TRAS::GetStateText() {
  const StateInfo* info = FindState(connectState_);
  if (info && info->text) {
    std::string text = info->text;
    if ((connectState_ == RASCS_ConnectDevice || connectState_ == RASCS_DeviceConnected) && !deviceType_.empty()) {
      std::string lower = deviceType_;
      CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
      text += " (" + lower + ")";
    }
    return text;
  }
  if (connectState_ <= RASBASE) return "Unknown State - " + std::to_string(connectState_);
  return GetErrorText(connectState_);
}

std::string TRAS::GetErrorText(int32_t code) {
  char text[257] = {};
  if (LoadRasLibrary() && g_ras.RasGetErrorStringA) g_ras.RasGetErrorStringA(static_cast<UINT>(code), text, 256);
  if (text[0]) return text;

  char system[256] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(code), 0, system, sizeof system, nullptr);
  std::string s(system, std::min<size_t>(n, sizeof system));
  while (!s.empty() && (static_cast<unsigned char>(s.back()) <= ' ' || s.back() == '.')) s.pop_back();
  return s;
}

// ------------------------------------------------------------------------- status and hang-up

int TRAS::GetConnectStatus() {
  connectState_ = 0;
  if (!rasConn_) return kNoConnection;
  lastError_ = kLibraryMissing;
  if (!LoadRasLibrary()) return lastError_;
  if (!g_ras.RasGetConnectStatusA) {
    lastError_ = ERROR_PROC_NOT_FOUND;
  } else {
    RASCONNSTATUSA status{};
    status.dwSize = RASCONNSTATUSA_SIZE;
    lastError_ = static_cast<int32_t>(g_ras.RasGetConnectStatusA(rasConn_, &status));
    if (lastError_ == 0) {
      connectState_ = LOWORD(status.rasconnstate);
      connectError_ = LOWORD(status.dwError);
      if (static_cast<int32_t>(status.dwError) > static_cast<int32_t>(RASBASE))
        lastError_ = static_cast<int32_t>(status.dwError);
    }
  }
  if (lastError_ != 0) statusStr_ = GetErrorText(lastError_);
  return lastError_;
}

void TRAS::PumpMessages(std::optional<int>& quitCode) {
  if (gui::Application) {
    gui::Application->ProcessMessages();
    return;
  }
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitCode = static_cast<int>(msg.wParam);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

int TRAS::HangUp() {
  int result = 0;
  uint16_t reported = 0;
  std::optional<int> quitCode;
  connectState_ = 0;
  if (rasConn_) {
    lastError_ = kLibraryMissing;
    if (!LoadRasLibrary()) return 0;
    if (!g_ras.RasHangUpA) {
      // Nothing would ever end the connection, so there is nothing to wait for: the failed call
      // is reported at once, with OnDisconnect as for any other.
      result = ERROR_PROC_NOT_FOUND;
    } else {
      result = static_cast<int>(g_ras.RasHangUpA(rasConn_));
      rtl::TAliveToken alive = AliveToken();  // handlers run inside the pump may free the component
      while (GetConnectStatus() == 0) {
        PumpMessages(quitCode);
        if (!alive) {
          if (quitCode) PostQuitMessage(*quitCode);
          return result;
        }
        // A handler hung up inside the pump; that call has finished the job.
        if (!rasConn_) break;
        if (connectState_ != reported) {
          statusStr_ = GetStateText();
          reported = connectState_;
          DoStateChanged();
          if (!alive) {
            if (quitCode) PostQuitMessage(*quitCode);
            return result;
          }
        }
        // Until the next message or the next poll, whichever comes first: never a busy wait.
        MsgWaitForMultipleObjectsEx(0, nullptr, kHangUpPollMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      }
      // Not ours to consume: the thread's own loop must still see it.
      if (quitCode) PostQuitMessage(*quitCode);
    }
  }
  rasConn_ = nullptr;
  DestroyNotifyWindow();
  lastError_ = result;
  DoDisconnect();
  return result;
}

int TRAS::CloseConnection() {
  int result = 0;
  connectState_ = 0;
  if (rasConn_) {
    lastError_ = kLibraryMissing;
    if (!LoadRasLibrary()) return 0;
    result = g_ras.RasHangUpA ? static_cast<int>(g_ras.RasHangUpA(rasConn_)) : ERROR_PROC_NOT_FOUND;
  }
  rasConn_ = nullptr;
  DestroyNotifyWindow();
  lastError_ = result;
  return result;
}
