#include "phonebook_text.h"

#include <algorithm>
#include <unordered_set>

namespace ras {

namespace {

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
    if (name.empty() || name.size() > kMaxEntryNameLength) return false;
    if (name.front() == '.') return false;
    if (trim(name).empty()) return false;
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

void PhonebookText::parse(std::string_view text) {
    lines_.clear();
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
}

std::string PhonebookText::text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::vector<PhonebookText::Section> PhonebookText::sections() const {
    std::vector<Section> out;
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (!section_header(lines_[i], name)) continue;
        if (!out.empty()) out.back().end = i;
        out.push_back({name, i, lines_.size()});
    }
    return out;
}

std::optional<PhonebookText::Section> PhonebookText::find(std::string_view entry) const {
    // Stops at the first section of the name, without listing the rest.
    std::string name, next;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (!section_header(lines_[i], name) || !same_name(name, entry)) continue;
        size_t end = i + 1;
        while (end < lines_.size() && !section_header(lines_[end], next)) ++end;
        return Section{name, i, end};
    }
    return std::nullopt;
}

std::vector<std::string> PhonebookText::entry_names() const {
    std::vector<std::string> names;
    // Repeats are found by their lower-case form: comparing each name with all before it would
    // take hours for the million sections a phonebook of the largest size the service reads holds.
    std::unordered_set<std::string> seen;
    for (const Section& s : sections()) {
        if (!valid_entry_name(s.name)) continue;
        std::string key = s.name;
        for (char& c : key) c = lower(c);
        if (seen.insert(std::move(key)).second) names.push_back(s.name);
    }
    return names;
}

bool PhonebookText::has_entry(std::string_view entry) const {
    return valid_entry_name(entry) && find(entry).has_value();
}

std::optional<std::string> PhonebookText::value(std::string_view entry, std::string_view key) const {
    std::optional<Section> s = find(entry);
    if (!s) return std::nullopt;
    std::string_view k, v;
    for (size_t i = s->header + 1; i < s->end; ++i)
        if (key_line(lines_[i], k, v) && same_name(k, key)) return std::string(v);
    return std::nullopt;
}

void PhonebookText::set_value(std::string_view entry, std::string_view key, std::string_view value) {
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

void PhonebookText::remove_key(std::string_view entry, std::string_view key) {
    std::optional<Section> s = find(entry);
    if (!s) return;
    std::string_view k, v;
    for (size_t i = s->end; i-- > s->header + 1;)
        if (key_line(lines_[i], k, v) && same_name(k, key)) lines_.erase(lines_.begin() + std::ptrdiff_t(i));
}

bool PhonebookText::remove_entry(std::string_view entry) {
    bool removed = false;
    std::vector<Section> all = sections();
    for (size_t i = all.size(); i-- > 0;) {
        if (!same_name(all[i].name, entry)) continue;
        lines_.erase(lines_.begin() + std::ptrdiff_t(all[i].header), lines_.begin() + std::ptrdiff_t(all[i].end));
        removed = true;
    }
    return removed;
}

bool PhonebookText::rename_entry(std::string_view from, std::string_view to) {
    bool renamed = false;
    for (const Section& s : sections()) {
        if (!same_name(s.name, from)) continue;
        lines_[s.header] = header_line(to);
        renamed = true;
    }
    return renamed;
}

}  // namespace ras
