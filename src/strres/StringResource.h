// The loader of packed string tables stored as RT_RCDATA resources. One implementation serves the
// three families that keep their texts this way (FxSrMgr.h, EcSrMgr.h, SuSrMgr.h); what differs
// between them is a StringFamily record. See docs/strres.md.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "strres/Str0Table.h"

namespace strres {

class TStringResource;

// A family's differences from the others, and its two open tables.
struct StringFamily {
  const char* messageTable;  // resource holding the loader's own error texts, ids 1-5
  const char* stringTable;   // resource holding the family's texts
  // Wraps a message in the family's EStringResourceError.
  std::exception_ptr (*makeError)(const std::string& message);
  // Creates the family's loader class over a resource.
  TStringResource* (*create)(HINSTANCE instance, const char* resourceName);
  // Error text 5, used only while the message table itself is not open (texts 1-4 are shared).
  const char* invalidTableText;

  // Set by InitializeFamily and cleared by FinalizeFamily.
  int guard = 0;
  TStringResource* messages = nullptr;
  TStringResource* strings = nullptr;
};

// Error texts by id in the message tables.
enum StringResourceMessage {
  kMsgStringNotFound = 1,  // "%d": the id
  kMsgCannotLock = 2,
  kMsgResourceNotFound = 3,  // "%s": the resource name
  kMsgCannotOpen = 4,        // "%s": the resource name
  kMsgInvalidTable = 5,
};

// Opens one table and looks texts up in it. Between calls the resource is unlocked, so no
// address into it outlives a lookup. Opening checks what keeps every read inside the resource
// (the magic, the index and each text within it) and fails with error 5 otherwise; ids out of
// order or repeated and texts at odd offsets are read as they stand (see Str0Table).
class TStringResource {
 public:
  // Opens resourceName (nothing when it is empty); raises the family's error on failure.
  TStringResource(const StringFamily& family, HINSTANCE instance, const char* resourceName);
  virtual ~TStringResource();
  TStringResource(const TStringResource&) = delete;
  TStringResource& operator=(const TStringResource&) = delete;

  // Closes, then opens resourceName in instance. A failure leaves the object closed.
  void OpenTable(HINSTANCE instance, const char* resourceName);
  void CloseTable();
  // Raises error 2 when there is no table or it cannot be locked.
  void LockTable();
  void UnlockTable();
  // Binary search in the locked table; none when the id is absent or the table is not locked.
  // With ReportMissing set, an absent id raises error 1 instead.
  std::optional<Str0Entry> FindEntry(int32_t id);
  // The text converted to the ANSI code page, empty when the id is absent.
  std::string GetString(int32_t id);

  HGLOBAL ResourceHandle() const { return resourceHandle_; }
  const void* TableData() const { return tableData_; }

  bool ReportMissing = false;

 private:
  // GetString without raising: none when closed, not lockable or the id is absent.
  std::optional<std::string> Lookup(int32_t id) const;
  std::string Message(StringResourceMessage id) const;
  [[noreturn]] void Raise(const std::string& message) const;

  const StringFamily& family_;
  HGLOBAL resourceHandle_ = nullptr;
  DWORD resourceSize_ = 0;
  const void* tableData_ = nullptr;
};

// Opens each family's message table, then its string table, in the given module. Each family is
// guarded by a counter: only the outermost of nested Initialize/Finalize pairs opens and closes.
// On failure the tables opened so far are closed again and the family's error passes on.
void InitializeFamily(StringFamily& family, HINSTANCE instance);
void FinalizeFamily(StringFamily& family);

// All three families, message tables first; Finalize closes them in reverse order.
// The program calls them from its start-up order (src/app/Program.cpp); StrResStartup.cpp
// (tess_strres_startup) calls them around main for test programs of the families alone.
void Initialize(HINSTANCE instance);
void Finalize();

}  // namespace strres
