// Dial parameters stored with each phonebook entry: user name, password and whether it is saved,
// call-back number and domain. Kept as keys of the entry's section (see docs/rasservice.md).
#pragma once

#include "phonebook.h"

#include <string>

namespace ras {

struct StoredDialParams {
    std::string user_name;
    std::string password;  // empty unless password_saved (or the entry asks for the leak)
    bool password_saved = false;
    std::string callback_number;
    std::string domain;
};

// The entry must exist.
StoredDialParams read_dial_params(const Phonebook& book, const std::string& entry);

// Stores the parameters; with remove_password the password is dropped and marked not saved.
// Returns 0, or ERROR_INVALID_PARAMETER for a value the file cannot hold (a line break, say).
DWORD write_dial_params(Phonebook& book, const std::string& entry, const StoredDialParams& params,
                        bool remove_password);

}  // namespace ras
