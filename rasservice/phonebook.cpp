#include "phonebook.h"

#include "ras_api.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace ras {

namespace {

// A phonebook holds a few dozen short sections; anything this large is not one.
constexpr DWORD kMaxPhonebookBytes = 8u << 20;

std::string_view trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// "[name]" gives name; the name runs to the last "]" so that brackets inside a name survive.
bool section_header(std::string_view line, std::string& name) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() != '[') return false;
    size_t close = t.rfind(']');
    if (close == std::string_view::npos || close == 0) return false;
    name = std::string(trim(t.substr(1, close - 1)));
    return true;
}

bool key_line(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#') return false;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    key = trim(t.substr(0, eq));
    value = trim(t.substr(eq + 1));
    return true;
}

std::string header_line(std::string_view name) {
    std::string line;
    line.reserve(name.size() + 2);
    line += '[';
    line += name;
    line += ']';
    return line;
}

}  // namespace

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool valid_entry_name(std::string_view name) {
    if (name.empty() || name.size() > size_t(RAS_MaxEntryName)) return false;
    if (name.front() == '.') return false;
    if (trim(name).empty()) return false;
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

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
    lines_.clear();
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

    std::string_view rest(text);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
    while (!rest.empty()) {
        size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.emplace_back(line);
        if (nl == std::string_view::npos) break;
        rest.remove_prefix(nl + 1);
    }
    return 0;
}

DWORD Phonebook::save() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
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

std::vector<Phonebook::Section> Phonebook::sections() const {
    std::vector<Section> out;
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (!section_header(lines_[i], name)) continue;
        if (!out.empty()) out.back().end = i;
        out.push_back({name, i, lines_.size()});
    }
    return out;
}

std::optional<Phonebook::Section> Phonebook::find(std::string_view entry) const {
    for (const Section& s : sections())
        if (same_name(s.name, entry)) return s;
    return std::nullopt;
}

std::vector<std::string> Phonebook::entry_names() const {
    std::vector<std::string> names;
    for (const Section& s : sections()) {
        if (!valid_entry_name(s.name)) continue;
        bool seen = std::any_of(names.begin(), names.end(),
                                [&](const std::string& n) { return same_name(n, s.name); });
        if (!seen) names.push_back(s.name);
    }
    return names;
}

bool Phonebook::has_entry(std::string_view entry) const {
    return valid_entry_name(entry) && find(entry).has_value();
}

std::optional<std::string> Phonebook::value(std::string_view entry, std::string_view key) const {
    std::optional<Section> s = find(entry);
    if (!s) return std::nullopt;
    std::string_view k, v;
    for (size_t i = s->header + 1; i < s->end; ++i)
        if (key_line(lines_[i], k, v) && same_name(k, key)) return std::string(v);
    return std::nullopt;
}

void Phonebook::set_value(std::string_view entry, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    std::optional<Section> s = find(entry);
    if (!s) {
        if (!lines_.empty() && !trim(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back(header_line(entry));
        lines_.push_back(line);
        return;
    }
    std::string_view k, v;
    size_t last = s->header;
    for (size_t i = s->header + 1; i < s->end; ++i) {
        if (key_line(lines_[i], k, v) && same_name(k, key)) {
            lines_[i] = line;
            return;
        }
        if (!trim(lines_[i]).empty()) last = i;
    }
    // After the section's last line, before the blank lines that separate it from the next.
    lines_.insert(lines_.begin() + std::ptrdiff_t(last + 1), line);
}

void Phonebook::remove_key(std::string_view entry, std::string_view key) {
    std::optional<Section> s = find(entry);
    if (!s) return;
    std::string_view k, v;
    for (size_t i = s->end; i-- > s->header + 1;)
        if (key_line(lines_[i], k, v) && same_name(k, key)) lines_.erase(lines_.begin() + std::ptrdiff_t(i));
}

bool Phonebook::remove_entry(std::string_view entry) {
    bool removed = false;
    std::vector<Section> all = sections();
    for (size_t i = all.size(); i-- > 0;) {
        if (!same_name(all[i].name, entry)) continue;
        lines_.erase(lines_.begin() + std::ptrdiff_t(all[i].header), lines_.begin() + std::ptrdiff_t(all[i].end));
        removed = true;
    }
    return removed;
}

bool Phonebook::rename_entry(std::string_view from, std::string_view to) {
    bool renamed = false;
    for (const Section& s : sections()) {
        if (!same_name(s.name, from)) continue;
        lines_[s.header] = header_line(to);
        renamed = true;
    }
    return renamed;
}

}  // namespace ras
