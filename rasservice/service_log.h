// The service's plain-text log: one line per thing it did, in a file beside the phonebook, so a
// person (and a test) can follow dials, states and hang-ups.
#pragma once

#include <string>

namespace ras {

// The log that belongs to a phonebook: the phonebook's path with the extension ".log".
std::string log_path_for(const std::string& phonebook_path);

// "0x10001": a connection handle as the log shows it.
std::string handle_text(const void* handle);

// Appends one time-stamped line. Failures are ignored: the log must never change a result.
void log_line(const std::string& log_path, const std::string& text);

}  // namespace ras
