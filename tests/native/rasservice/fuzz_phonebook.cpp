// Fuzzes the phonebook's text: no read outside the input (ASan), only valid names listed, each
// once; the text written back reads as the same phonebook; an edit changes only its own entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "phonebook_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ras::PhonebookText book;
  book.parse(text);
  const std::vector<std::string> names = book.entry_names();
  for (size_t i = 0; i < names.size(); ++i) {
    if (!ras::valid_entry_name(names[i]) || !book.has_entry(names[i])) abort();
    for (size_t j = 0; j < i; ++j)
      if (ras::same_name(names[i], names[j])) abort();
    (void)book.value(names[i], "PhoneNumber");
  }

  // Written back and read again, it is the same phonebook; only a second byte-order mark at
  // the start would become the first and be dropped.
  ras::PhonebookText again;
  again.parse(book.text());
  const bool secondMark = !book.lines().empty() && book.lines()[0].rfind("\xEF\xBB\xBF", 0) == 0;
  if (!secondMark && (again.entry_names() != names || again.text() != book.text())) abort();
  again = book;

  if (!names.empty()) {
    const std::string& first = names.front();
    again.set_value(first, "UserName", "fuzz");
    if (again.value(first, "UserName") != "fuzz") abort();
    if (again.entry_names() != names) abort();
    for (size_t i = 1; i < names.size(); ++i)
      if (again.value(names[i], "UserName") != book.value(names[i], "UserName")) abort();
    again.remove_entry(first);
    if (again.has_entry(first)) abort();
  }
  return 0;
}
