#include "phonebook.h"

#include "ras_api.h"

#include <shlobj.h>

#include <cstring>

namespace ras {

namespace {

// A phonebook holds a few dozen short sections; anything this large is not one.
constexpr DWORD kMaxPhonebookBytes = 8u << 20;

static_assert(kMaxEntryNameLength == size_t(RAS_MaxEntryName));

}  // namespace

std::string default_phonebook_path() {
    char buf[MAX_PATH + 1] = {};
    DWORD n = GetEnvironmentVariableA("RASSERVICE_PHONEBOOK", buf, sizeof buf);
    if (n > 0 && n < sizeof buf) return buf;

    std::string base;
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buf))) {
        base = buf;
    } else {
        n = GetEnvironmentVariableA("APPDATA", buf, sizeof buf);
        if (n > 0 && n < sizeof buf) base = buf;
    }
    if (base.empty()) return {};
    return base + "\\Microsoft\\Network\\Connections\\Pbk\\rasphone.pbk";
}

DWORD resolve_phonebook(LPCSTR argument, std::string& path, bool& is_default) {
    is_default = argument == nullptr;
    std::string given;
    if (is_default) {
        given = default_phonebook_path();
        if (given.empty()) return ERROR_CANNOT_OPEN_PHONEBOOK;
    } else {
        size_t n = strnlen(argument, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return ERROR_CANNOT_OPEN_PHONEBOOK;
        given.assign(argument, n);
    }
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(given.c_str(), sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full) return ERROR_CANNOT_OPEN_PHONEBOOK;
    path = full;
    return 0;
}

DWORD Phonebook::load(const std::string& path, bool missing_ok) {
    path_ = path;
    parse({});
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        if (missing_ok && (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND)) return 0;
        return ERROR_CANNOT_OPEN_PHONEBOOK;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f, &size) || size.QuadPart > kMaxPhonebookBytes) {
        CloseHandle(f);
        return ERROR_CANNOT_LOAD_PHONEBOOK;
    }
    std::string text(size_t(size.QuadPart), '\0');
    DWORD got = 0;
    BOOL ok = text.empty() || ReadFile(f, text.data(), DWORD(text.size()), &got, nullptr);
    CloseHandle(f);
    if (!ok) return ERROR_CANNOT_LOAD_PHONEBOOK;
    text.resize(got);

    parse(text);
    return 0;
}

DWORD Phonebook::save() const {
    const std::string text = this->text();
    std::string temp = path_ + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(GetCurrentThreadId());
    HANDLE f = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return ERROR_CANNOT_WRITE_PHONEBOOK;
    DWORD written = 0;
    BOOL ok = WriteFile(f, text.data(), DWORD(text.size()), &written, nullptr) &&
              written == text.size();
    ok = CloseHandle(f) && ok;
    // Replacing in one step means a reader never sees half a phonebook.
    if (ok) ok = MoveFileExA(temp.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        DeleteFileA(temp.c_str());
        return ERROR_CANNOT_WRITE_PHONEBOOK;
    }
    return 0;
}

}  // namespace ras
