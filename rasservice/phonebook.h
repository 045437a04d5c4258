// The phonebook: an INI file with one "[Entry Name]" section per entry. Read whole on each call (so
// a person's edits apply at once) and written back through a temporary file, keeping every line the
// service does not change.
#pragma once

#include <windows.h>

#include <string>

#include "phonebook_text.h"

namespace ras {

// The phonebook a call names: null means the per-user default, anything else that file. Returns 0
// or a remote-access error code (an empty or over-long path cannot name a phonebook).
DWORD resolve_phonebook(LPCSTR argument, std::string& path, bool& is_default);

// The per-user default: %APPDATA%\Microsoft\Network\Connections\Pbk\rasphone.pbk, unless the
// environment variable RASSERVICE_PHONEBOOK names another file.
std::string default_phonebook_path();

// The phonebook file.
class Phonebook : public PhonebookText {
public:
    // Reads the file. A missing file reads as empty when missing_ok (the default phonebook of a
    // user who has none yet), else it is ERROR_CANNOT_OPEN_PHONEBOOK; so is one that cannot be
    // opened. One over 8 MiB, or one that cannot be read, is ERROR_CANNOT_LOAD_PHONEBOOK.
    DWORD load(const std::string& path, bool missing_ok);
    DWORD save() const;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace ras
