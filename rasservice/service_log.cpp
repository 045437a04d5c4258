#include "service_log.h"

#include <windows.h>

#include <cstdio>
#include <mutex>

namespace ras {

namespace {

// Past this size the log starts over, keeping the previous part as ".old".
constexpr LONGLONG kMaxLogBytes = 1 << 20;

std::mutex& log_mutex() {
    static std::mutex m;
    return m;
}

}  // namespace

std::string log_path_for(const std::string& phonebook_path) {
    size_t slash = phonebook_path.find_last_of("\\/");
    size_t dot = phonebook_path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        return phonebook_path.substr(0, dot) + ".log";
    return phonebook_path + ".log";
}

std::string handle_text(const void* handle) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(handle)));
    return buf;
}

void log_line(const std::string& log_path, const std::string& text) {
    if (log_path.empty()) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u [%lu:%lu] ", t.wYear,
                  t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds,
                  GetCurrentProcessId(), GetCurrentThreadId());
    std::string line = stamp + text + "\r\n";

    std::lock_guard<std::mutex> lock(log_mutex());
    HANDLE f = CreateFileA(log_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(f, &size) && size.QuadPart > kMaxLogBytes) {
        CloseHandle(f);
        MoveFileExA(log_path.c_str(), (log_path + ".old").c_str(), MOVEFILE_REPLACE_EXISTING);
        f = CreateFileA(log_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE) return;
    }
    DWORD written = 0;
    WriteFile(f, line.data(), DWORD(line.size()), &written, nullptr);
    CloseHandle(f);
}

}  // namespace ras
