#include "dialer_fixture.h"

#include "ImportPatch.h"
#include "TestFiles.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

// ------------------------------------------------------------------------- events

// Event names in the component's published order, indexed by Hit<N>.
static const char* const kEventNames[] = {
    "OnStateChanged", "OnConnect", "OnCallBack", "OnAboutToOpenPort", "OnPortOpened", "OnAboutToConnDev",
    "OnDevConnected", "OnAllDevsConnected", "OnAuthenticate", "OnAuthNotify", "OnAuthRetry", "OnAuthCallBack",
    "OnAuthChangePassword", "OnAuthProject", "OnAuthLinkSpeed", "OnAuthAck", "OnReAuthenticate",
    "OnAuthenticated", "OnPrepareforCallback", "OnWaitForModemReset", "OnInteractiveStarted", "OnRetryAuth",
    "OnPasswordExpired"};

template <int N>
void EventLog::Hit(rtl::TObject*) {
  Record(kEventNames[N]);
}

EventLog::EventLog(TRAS& ras) : ras_(ras) {
  ras.OnStateChanged.Bind(this, &EventLog::Hit<0>);
  ras.OnConnect.Bind(this, &EventLog::Hit<1>);
  ras.OnCallBack.Bind(this, &EventLog::Hit<2>);
  ras.OnAboutToOpenPort.Bind(this, &EventLog::Hit<3>);
  ras.OnPortOpened.Bind(this, &EventLog::Hit<4>);
  ras.OnAboutToConnDev.Bind(this, &EventLog::Hit<5>);
  ras.OnDevConnected.Bind(this, &EventLog::Hit<6>);
  ras.OnAllDevsConnected.Bind(this, &EventLog::Hit<7>);
  ras.OnAuthenticate.Bind(this, &EventLog::Hit<8>);
  ras.OnAuthNotify.Bind(this, &EventLog::Hit<9>);
  ras.OnAuthRetry.Bind(this, &EventLog::Hit<10>);
  ras.OnAuthCallBack.Bind(this, &EventLog::Hit<11>);
  ras.OnAuthChangePassword.Bind(this, &EventLog::Hit<12>);
  ras.OnAuthProject.Bind(this, &EventLog::Hit<13>);
  ras.OnAuthLinkSpeed.Bind(this, &EventLog::Hit<14>);
  ras.OnAuthAck.Bind(this, &EventLog::Hit<15>);
  ras.OnReAuthenticate.Bind(this, &EventLog::Hit<16>);
  ras.OnAuthenticated.Bind(this, &EventLog::Hit<17>);
  ras.OnPrepareforCallback.Bind(this, &EventLog::Hit<18>);
  ras.OnWaitForModemReset.Bind(this, &EventLog::Hit<19>);
  ras.OnInteractiveStarted.Bind(this, &EventLog::Hit<20>);
  ras.OnRetryAuth.Bind(this, &EventLog::Hit<21>);
  ras.OnPasswordExpired.Bind(this, &EventLog::Hit<22>);
  ras.OnDisconnect.Bind(this, &EventLog::Disconnect);
}

void EventLog::Disconnect(rtl::TObject*, int32_t error, const std::string& text) {
  Record("OnDisconnect", error, text);
}

void EventLog::Record(const std::string& event, int32_t error, const std::string& text) {
  all.push_back(Fired{event, ras_.StatusStr(), ras_.ConnectState(), ras_.LastError(), error, text});
  if (after) after(all.back());
}

std::vector<std::string> EventLog::Names() const {
  std::vector<std::string> out;
  for (const Fired& f : all) out.push_back(f.event);
  return out;
}

std::vector<std::string> EventLog::Statuses() const {
  std::vector<std::string> out;
  for (const Fired& f : all)
    if (f.event == "OnStateChanged") out.push_back(f.status);
  return out;
}

int EventLog::Count(const std::string& event) const {
  return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const Fired& f) { return f.event == event; }));
}

// ------------------------------------------------------------------------- fixture

void DialerTest::SetUp() {
  LoaderHooks::Install();
  dir_ = tsupport::FreshTestDir("tess-dialer-");
  ASSERT_NE(GetFileAttributesA(dir_.c_str()), INVALID_FILE_ATTRIBUTES) << dir_;
  // The default phonebook of every test is an empty one of its own, never the prefix's.
  SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", WriteFile("default.pbk", "").c_str());

  service_ = LoadLibraryA("RASAPI32.DLL");
  ASSERT_NE(service_, nullptr);
  ASSERT_EQ(ServiceErrorText(ERROR_LINE_BUSY), "The line is busy.")
      << "not our service: run with WINEDLLOVERRIDES=rasapi32=n";
  LoaderHooks::Reset();  // the logs start with the component's own calls
}

void DialerTest::TearDown() {
  LoaderHooks::Reset();
  // Let the connections of this test close before the folder goes.
  if (service_) {
    auto enumerate = reinterpret_cast<PFN_RasEnumConnectionsA>(
        reinterpret_cast<void*>(GetProcAddress(service_, "RasEnumConnectionsA")));
    PumpUntil(
        [&] {
          RASCONNA conns[8]{};
          conns[0].dwSize = sizeof(RASCONNA);
          DWORD bytes = sizeof conns, count = 0;
          DWORD rc = enumerate(conns, &bytes, &count);
          return rc == 0 && count == 0;
        },
        5000);
    FreeLibrary(service_);
  }
  SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", nullptr);
  if (!dir_.empty()) tsupport::RemoveTree(dir_);
}

std::string DialerTest::WriteFile(const std::string& name, const std::string& content) {
  return tsupport::WriteTextFile(dir_ + "\\" + name, content);
}

std::string DialerTest::ReadFile(const std::string& path) { return tsupport::ReadTextFile(path); }

DWORD DialerTest::ServiceStatus(HRASCONN handle, RASCONNSTATUSA* out) {
  auto status = reinterpret_cast<PFN_RasGetConnectStatusA>(
      reinterpret_cast<void*>(GetProcAddress(service_, "RasGetConnectStatusA")));
  RASCONNSTATUSA st{};
  st.dwSize = RASCONNSTATUSA_SIZE;
  DWORD rc = status(handle, &st);
  if (out) *out = st;
  return rc;
}

DWORD DialerTest::ServiceHangUp(HRASCONN handle) {
  // Past the hooks: a test may have hidden the entry point from the component.
  auto hangUp = reinterpret_cast<PFN_RasHangUpA>(reinterpret_cast<void*>(LoaderHooks::Original("RasHangUpA")));
  return hangUp(handle);
}

std::string DialerTest::ServiceErrorText(DWORD code) {
  auto text = reinterpret_cast<PFN_RasGetErrorStringA>(
      reinterpret_cast<void*>(GetProcAddress(service_, "RasGetErrorStringA")));
  char buf[257] = {};
  text(code, buf, 256);
  return buf;
}

bool DialerTest::WaitGone(HRASCONN handle, DWORD timeoutMs) {
  return PumpUntil([&] { return ServiceStatus(handle) != 0; }, timeoutMs);
}

std::string Section(const std::string& name, const std::vector<std::string>& lines) {
  std::string s = "[" + name + "]\r\n";
  for (const std::string& l : lines) s += l + "\r\n";
  return s + "\r\n";
}

// ------------------------------------------------------------------------- loader hooks

std::set<std::string> LoaderHooks::failLoad;
std::map<std::string, std::string> LoaderHooks::redirect;
std::set<std::string> LoaderHooks::hideProc;
std::map<std::string, void*> LoaderHooks::replaceProc;
bool LoaderHooks::failRegister = false;
std::vector<std::string> LoaderHooks::loads;
std::vector<HMODULE> LoaderHooks::loaded;
std::vector<HMODULE> LoaderHooks::freed;
std::vector<std::pair<HMODULE, std::string>> LoaderHooks::procs;
std::vector<HKEY> LoaderHooks::closedKeys;

namespace {

decltype(&LoadLibraryExA) o_LoadLibraryExA;
decltype(&GetProcAddress) o_GetProcAddress;
decltype(&FreeLibrary) o_FreeLibrary;
decltype(&RegisterWindowMessageA) o_RegisterWindowMessageA;
decltype(&RegCloseKey) o_RegCloseKey;

bool Watched(const std::string& upper) { return upper.find("RAS") != std::string::npos || upper.find("RNAPH") != std::string::npos; }

// The component loads through gui::LoadSystemLibrary, which asks LoadLibraryExA for the system
// folder's copy; logged by file name.
HMODULE WINAPI h_LoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags) {
  std::string upper = name ? Upper(name) : std::string();
  upper = upper.substr(upper.find_last_of('\\') + 1);
  if (!Watched(upper)) return o_LoadLibraryExA(name, file, flags);
  LoaderHooks::loads.push_back(upper);
  HMODULE h = nullptr;
  if (LoaderHooks::failLoad.count(upper)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
  } else {
    auto it = LoaderHooks::redirect.find(upper);
    h = o_LoadLibraryExA(it != LoaderHooks::redirect.end() ? it->second.c_str() : name, file, flags);
  }
  LoaderHooks::loaded.push_back(h);
  return h;
}

FARPROC WINAPI h_GetProcAddress(HMODULE module, LPCSTR name) {
  if (!HIWORD(reinterpret_cast<ULONG_PTR>(name))) return o_GetProcAddress(module, name);
  if (std::find(LoaderHooks::loaded.begin(), LoaderHooks::loaded.end(), module) != LoaderHooks::loaded.end())
    LoaderHooks::procs.emplace_back(module, name);
  if (LoaderHooks::hideProc.count(name)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  if (auto it = LoaderHooks::replaceProc.find(name); it != LoaderHooks::replaceProc.end())
    return reinterpret_cast<FARPROC>(it->second);
  return o_GetProcAddress(module, name);
}

UINT WINAPI h_RegisterWindowMessageA(LPCSTR name) {
  return LoaderHooks::failRegister ? 0 : o_RegisterWindowMessageA(name);
}

LSTATUS WINAPI h_RegCloseKey(HKEY key) {
  LoaderHooks::closedKeys.push_back(key);
  return o_RegCloseKey(key);
}

BOOL WINAPI h_FreeLibrary(HMODULE module) {
  if (std::find(LoaderHooks::loaded.begin(), LoaderHooks::loaded.end(), module) != LoaderHooks::loaded.end())
    LoaderHooks::freed.push_back(module);
  return o_FreeLibrary(module);
}

}  // namespace

void LoaderHooks::Install() {
  static bool done = false;
  if (done) return;
  done = true;
  const tsupport::ImportHook hooks[] = {
      {"LoadLibraryExA", reinterpret_cast<void*>(&h_LoadLibraryExA), reinterpret_cast<void**>(&o_LoadLibraryExA)},
      {"GetProcAddress", reinterpret_cast<void*>(&h_GetProcAddress), reinterpret_cast<void**>(&o_GetProcAddress)},
      {"FreeLibrary", reinterpret_cast<void*>(&h_FreeLibrary), reinterpret_cast<void**>(&o_FreeLibrary)},
      {"RegisterWindowMessageA", reinterpret_cast<void*>(&h_RegisterWindowMessageA),
       reinterpret_cast<void**>(&o_RegisterWindowMessageA)},
      {"RegCloseKey", reinterpret_cast<void*>(&h_RegCloseKey), reinterpret_cast<void**>(&o_RegCloseKey)},
  };
  tsupport::PatchImports(GetModuleHandleA(nullptr), hooks, std::size(hooks));
  ASSERT_TRUE(o_LoadLibraryExA && o_GetProcAddress && o_FreeLibrary && o_RegisterWindowMessageA && o_RegCloseKey)
      << "imports not found";
}

FARPROC LoaderHooks::Original(const char* name) {
  HMODULE service = GetModuleHandleA("RASAPI32.DLL");
  return service ? o_GetProcAddress(service, name) : nullptr;
}

void LoaderHooks::Reset() {
  failLoad.clear();
  redirect.clear();
  hideProc.clear();
  replaceProc.clear();
  failRegister = false;
  loads.clear();
  loaded.clear();
  freed.clear();
  procs.clear();
  closedKeys.clear();
}
