// TRAS: the dial-up connection component. Lists the entries of a phonebook, reads an entry's
// stored dial parameters, dials it asynchronously, turns the service's progress messages into
// states, texts and events, and hangs up. The remote-access library is bound at run time on first
// use, so a machine without it still runs the program. Every operation answers with a result code
// (0 for success) and copies it into LastError; nothing here raises.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Messages.h"
#include "UtilWindow.h"
#include "ras_api.h"
#include "rtl/Component.h"
#include "rtl/Lists.h"

// Sender, Error, ErrorString.
using TRasStateEvent = rtl::TEvent<rtl::TObject*, int32_t, const std::string&>;

// Active connections; created empty and kept for hosts, nothing here adds to it.
using TConnectionList = rtl::TList<void*>;

class TRAS : public rtl::TComponent {
  RTL_CLASS(TRAS, rtl::TComponent)
 public:
  explicit TRAS(rtl::TComponent* owner);
  ~TRAS() override;

  // ---- Published properties, in their published order ----
  const std::string& EntryName() const { return entryName_; }
  void SetEntryName(const std::string& v) { entryName_ = v; }
  const std::string& PhoneNumber() const { return phoneNumber_; }
  void SetPhoneNumber(const std::string& v) { phoneNumber_ = v; }
  const std::string& PhoneBookPath() const { return phoneBookPath_; }
  // Stores the path and refills PhoneBookEntries from it (also while loading a form).
  void SetPhoneBookPath(const std::string& v);
  const std::string& CallbackNumber() const { return callbackNumber_; }
  void SetCallbackNumber(const std::string& v) { callbackNumber_ = v; }
  const std::string& UserName() const { return userName_; }
  void SetUserName(const std::string& v) { userName_ = v; }
  const std::string& Password() const { return password_; }
  void SetPassword(const std::string& v) { password_ = v; }
  int32_t RedialAttempts() const { return redialAttempts_; }
  void SetRedialAttempts(int32_t v);
  const std::string& Domain() const { return domain_; }
  void SetDomain(const std::string& v) { domain_ = v; }
  const std::string& DeviceType() const { return deviceType_; }
  void SetDeviceType(const std::string& v) { deviceType_ = v; }
  const std::string& DeviceName() const { return deviceName_; }
  void SetDeviceName(const std::string& v) { deviceName_ = v; }
  const std::string& DevicePort() const { return devicePort_; }
  void SetDevicePort(const std::string& v) { devicePort_ = v; }
  const std::string& ClientIP() const { return clientIP_; }
  const std::string& ServerIP() const { return serverIP_; }
  int32_t StatsXmit() const { return statsXmit_; }
  int32_t StatsRecv() const { return statsRecv_; }
  int32_t StatsConn() const { return statsConn_; }
  int32_t LastError() const { return lastError_; }
  // Pointer-sized: a connection handle is a handle, and 64-bit handles need all their bits.
  HRASCONN RASConn() const { return rasConn_; }
  uint16_t ConnectState() const { return connectState_; }
  uint16_t SavedState() const { return savedState_; }
  uint16_t ConnectError() const { return connectError_; }
  const std::string& StatusStr() const { return statusStr_; }
  void SetStatusStr(const std::string& v) { statusStr_ = v; }
  const std::string& CurConnName() const { return curConnName_; }
  uint32_t NumConns() const { return numConns_; }
  HRASCONN CurRASConn() const { return curRASConn_; }
  const std::string& PhoneCanonical() const { return phoneCanonical_; }
  const std::string& KeyDUNAdap() const { return keyDUNAdap_; }
  void SetKeyDUNAdap(const std::string& v) { keyDUNAdap_ = v; }
  const std::string& KeyDUNConn() const { return keyDUNConn_; }
  void SetKeyDUNConn(const std::string& v) { keyDUNConn_ = v; }
  const std::string& KeyDUNXmit() const { return keyDUNXmit_; }
  void SetKeyDUNXmit(const std::string& v) { keyDUNXmit_ = v; }
  const std::string& KeyDUNRecv() const { return keyDUNRecv_; }
  void SetKeyDUNRecv(const std::string& v) { keyDUNRecv_ = v; }

  // ---- Published events, in their published order ----
  rtl::TNotifyEvent OnStateChanged;
  rtl::TNotifyEvent OnConnect;
  TRasStateEvent OnDisconnect;
  rtl::TNotifyEvent OnCallBack;
  rtl::TNotifyEvent OnAboutToOpenPort;
  rtl::TNotifyEvent OnPortOpened;
  rtl::TNotifyEvent OnAboutToConnDev;
  rtl::TNotifyEvent OnDevConnected;
  rtl::TNotifyEvent OnAllDevsConnected;
  rtl::TNotifyEvent OnAuthenticate;
  rtl::TNotifyEvent OnAuthNotify;
  rtl::TNotifyEvent OnAuthRetry;
  rtl::TNotifyEvent OnAuthCallBack;
  rtl::TNotifyEvent OnAuthChangePassword;
  rtl::TNotifyEvent OnAuthProject;
  rtl::TNotifyEvent OnAuthLinkSpeed;
  rtl::TNotifyEvent OnAuthAck;
  rtl::TNotifyEvent OnReAuthenticate;
  rtl::TNotifyEvent OnAuthenticated;
  rtl::TNotifyEvent OnPrepareforCallback;
  rtl::TNotifyEvent OnWaitForModemReset;
  rtl::TNotifyEvent OnInteractiveStarted;
  rtl::TNotifyEvent OnRetryAuth;
  rtl::TNotifyEvent OnPasswordExpired;

  // ---- Not published ----
  // Entry names found by the last successful GetPhoneBookEntries, in the service's order.
  rtl::TStringList& PhoneBookEntries() { return *phoneBookEntries_; }
  const rtl::TStringList& PhoneBookEntries() const { return *phoneBookEntries_; }
  TConnectionList& Connections() { return *connections_; }
  const RASDIALPARAMSA& DialParams() const { return dialParams_; }
  UINT DialEventMessage() const { return dialEventMessage_; }
  // The hidden window that receives the progress messages; null before the first Dial and
  // after a hang-up.
  HWND NotifyWindow() const { return notifyWindow_ ? notifyWindow_->Handle() : nullptr; }

  // ---- Operations; results are 0 or an error code ----
  // Binds the remote-access library on the first call; true when RasDialA is available.
  bool LoadRasLibrary();
  int GetPhoneBookEntries();
  int GetEntryDialParams();
  void FillDialParams();
  void ResetStats();
  int Dial();
  // Hangs up and waits, handling the thread's messages, until the connection is gone; then
  // fires OnDisconnect (also when no connection was open). Handlers may call it again.
  int HangUp();
  // Hangs up without waiting and without events.
  int CloseConnection();
  int GetConnectStatus();
  // Both may bind the library (the service's own texts come first).
  std::string GetStateText();
  std::string GetErrorText(int32_t code);

  static void DeclareProperties(rtl::TClassBuilder<TRAS>& b);

 protected:
  // The hidden window's procedure: progress messages while a connection is open, the rest to
  // the platform's default procedure.
  virtual void DialEventWndProc(gui::TMessage& m);
  virtual void DoStateChanged();
  virtual void DoConnect();
  virtual void DoDisconnect();
  // Fires the event the state table gives for ConnectState, if any (not OnConnect/OnDisconnect).
  virtual void DoStateEvent();

 private:
  void CreateNotifyWindow();
  void DestroyNotifyWindow();
  void UnloadRasLibrary();
  // Handles every waiting message of the thread; a quit message is kept in quitCode for the
  // thread's own loop when no application object is there to take it.
  void PumpMessages(std::optional<int>& quitCode);

  std::string entryName_, phoneNumber_, phoneBookPath_, callbackNumber_, userName_, password_;
  int32_t redialAttempts_ = 1;
  std::string domain_, deviceType_, deviceName_, devicePort_, clientIP_, serverIP_;
  int32_t statsXmit_ = 0, statsRecv_ = 0, statsConn_ = 0;
  int32_t lastError_ = 0;
  HRASCONN rasConn_ = nullptr;
  uint16_t connectState_ = 0;
  uint16_t savedState_ = 9999;
  uint16_t connectError_ = 0;
  std::string statusStr_, curConnName_;
  uint32_t numConns_ = 0;
  HRASCONN curRASConn_ = nullptr;
  std::string phoneCanonical_;
  std::string keyDUNAdap_, keyDUNConn_, keyDUNXmit_, keyDUNRecv_;

  std::unique_ptr<rtl::TStringList> phoneBookEntries_;
  std::unique_ptr<TConnectionList> connections_;
  RASDIALPARAMSA dialParams_{};
  UINT dialEventMessage_ = 0;
  std::unique_ptr<gui::TUtilWindow> notifyWindow_;

  HMODULE rasLibrary_ = nullptr;
  HMODULE rasExtLibrary_ = nullptr;
  bool rasLoadTried_ = false;
  bool rasExtAvailable_ = false;
};
