// The phonebook: an INI file with one "[Entry Name]" section per entry. Read whole on each call (so
// a person's edits apply at once) and written back through a temporary file, keeping every line the
// service does not change.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ras {

// The phonebook a call names: null means the per-user default, anything else that file. Returns 0
// or a remote-access error code (an empty or over-long path cannot name a phonebook).
DWORD resolve_phonebook(LPCSTR argument, std::string& path, bool& is_default);

// The per-user default: %APPDATA%\Microsoft\Network\Connections\Pbk\rasphone.pbk, unless the
// environment variable RASSERVICE_PHONEBOOK names another file.
std::string default_phonebook_path();

// Whether a name can be an entry: 1..256 characters, no control characters, not blank, not
// starting with a full stop.
bool valid_entry_name(std::string_view name);

// ASCII case-insensitive comparison, as entry names and keys are matched.
bool same_name(std::string_view a, std::string_view b);

class Phonebook {
public:
    // Reads the file. A missing file reads as empty when missing_ok (the default phonebook of a
    // user who has none yet), else it is ERROR_CANNOT_OPEN_PHONEBOOK; so is one that cannot be read.
    DWORD load(const std::string& path, bool missing_ok);
    DWORD save() const;

    const std::string& path() const { return path_; }

    // Listable entries in file order: valid names, each once (the first section of a name wins).
    std::vector<std::string> entry_names() const;
    bool has_entry(std::string_view entry) const;

    std::optional<std::string> value(std::string_view entry, std::string_view key) const;
    void set_value(std::string_view entry, std::string_view key, std::string_view value);
    void remove_key(std::string_view entry, std::string_view key);

    bool remove_entry(std::string_view entry);
    bool rename_entry(std::string_view from, std::string_view to);

private:
    struct Section {
        std::string name;
        size_t header;  // line of "[name]"
        size_t end;     // first line after the section
    };
    std::vector<Section> sections() const;
    std::optional<Section> find(std::string_view entry) const;

    std::string path_;
    std::vector<std::string> lines_;
};

}  // namespace ras
