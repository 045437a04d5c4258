#include "dial_params.h"

#include "entry_settings.h"

#include <algorithm>

namespace ras {

namespace {

// One line of the file per value: control characters would split it or inject new keys.
bool storable(const std::string& s) {
    return std::none_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace

StoredDialParams read_dial_params(const Phonebook& book, const std::string& entry) {
    StoredDialParams p;
    p.user_name = book.value(entry, "UserName").value_or("");
    p.callback_number = book.value(entry, "CallbackNumber").value_or("");
    p.domain = book.value(entry, "Domain").value_or("");
    p.password_saved = flag_value(book.value(entry, "SavePassword"));
    // ReturnUnsavedPassword hands out the stored text with the flag cleared, so a client's rule
    // "no saved password means no password" can be shown to hold.
    if (p.password_saved || flag_value(book.value(entry, "ReturnUnsavedPassword")))
        p.password = book.value(entry, "Password").value_or("");
    return p;
}

DWORD write_dial_params(Phonebook& book, const std::string& entry, const StoredDialParams& params,
                        bool remove_password) {
    if (!storable(params.user_name) || !storable(params.callback_number) || !storable(params.domain) ||
        (!remove_password && !storable(params.password)))
        return ERROR_INVALID_PARAMETER;
    book.set_value(entry, "UserName", params.user_name);
    book.set_value(entry, "CallbackNumber", params.callback_number);
    book.set_value(entry, "Domain", params.domain);
    if (remove_password) {
        book.remove_key(entry, "Password");
        book.set_value(entry, "SavePassword", "0");
    } else {
        book.set_value(entry, "Password", params.password);
        book.set_value(entry, "SavePassword", "1");
    }
    return 0;
}

}  // namespace ras
