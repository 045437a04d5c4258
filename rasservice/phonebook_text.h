// The phonebook's text: INI lines with one "[Entry Name]" section per entry, read and edited as
// lines so that everything the service does not change is written back as it was. Portable (no
// platform header): the native build tests and fuzzes it; phonebook.h adds the file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ras {

// The longest entry name a record can carry.
inline constexpr size_t kMaxEntryNameLength = 256;

// Whether a name can be an entry: 1..256 characters, no control characters, not blank, not
// starting with a full stop.
bool valid_entry_name(std::string_view name);

// ASCII case-insensitive comparison, as entry names and keys are matched.
bool same_name(std::string_view a, std::string_view b);

class PhonebookText {
public:
    // Takes the text: a leading UTF-8 byte-order mark is dropped, lines end at "\n" or "\r\n".
    void parse(std::string_view text);
    // The lines again, each ended with "\r\n".
    std::string text() const;
    const std::vector<std::string>& lines() const { return lines_; }

    // Listable entries in file order: valid names, each once (the first section of a name wins).
    std::vector<std::string> entry_names() const;
    bool has_entry(std::string_view entry) const;

    // The first line of the key in the first section of the entry.
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

    std::vector<std::string> lines_;
};

}  // namespace ras
