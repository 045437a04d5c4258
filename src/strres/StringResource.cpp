#include "strres/StringResource.h"

#include <string_view>

#include "rtl/StrUtils.h"
#include "strres/EcSrMgr.h"
#include "strres/FxSrMgr.h"
#include "strres/SuSrMgr.h"

namespace strres {

namespace {

// Texts 1-4 for when a family's message table is not open (while it is being opened, or when
// it lacks the text); they are the same in every family.
constexpr const char* kSharedFallback[] = {
    "String not found: %d",
    "Cannot lock resource",
    "String resource not found: %s",
    "Unable to open string resource: %s",
};

// The printf conversions each text must carry, so that a damaged table cannot make the
// formatting read an argument that is not there.
constexpr std::string_view kConversions[] = {"d", "", "s", "s", ""};

std::string ConversionsOf(std::string_view text) {
  std::string found;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (i + 1 < text.size() && text[i + 1] == '%') {
      ++i;
      continue;
    }
    // Anything but a bare %d or %s (flags, widths, other types) counts as a mismatch.
    found += i + 1 < text.size() ? text[i + 1] : '?';
    ++i;
    if (found.back() != 'd' && found.back() != 's') found += '!';
  }
  return found;
}

std::string ToAnsi(const std::u16string& text) {
  if (text.empty()) return std::string();
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  std::wstring wide(text.begin(), text.end());
  int length = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string result(static_cast<size_t>(n), '\0');
  n = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, result.data(), n, nullptr, nullptr);
  result.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return result;
}

}  // namespace

TStringResource::TStringResource(const StringFamily& family, HINSTANCE instance,
                                 const char* resourceName)
    : family_(family) {
  OpenTable(instance, resourceName);
}

TStringResource::~TStringResource() { CloseTable(); }

void TStringResource::OpenTable(HINSTANCE instance, const char* resourceName) {
  CloseTable();
  if (resourceName == nullptr || *resourceName == '\0') return;

  // This framework has no language resource modules: the tables are in the module itself.
  HMODULE module = instance;
  HRSRC found = FindResourceA(module, resourceName, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (found == nullptr) Raise(rtl::Format(Message(kMsgResourceNotFound).c_str(), resourceName));
  HGLOBAL handle = LoadResource(module, found);
  if (handle == nullptr) Raise(rtl::Format(Message(kMsgCannotOpen).c_str(), resourceName));
  resourceHandle_ = handle;
  resourceSize_ = SizeofResource(module, found);

  Str0Status status;
  try {
    LockTable();
    // Only what keeps every later read inside the resource; the rest is read as it stands.
    status = Str0Table(tableData_, resourceSize_).CheckBounds();
    UnlockTable();
  } catch (...) {
    CloseTable();
    throw;
  }
  if (status != Str0Status::kOk) {
    CloseTable();
    Raise(Message(kMsgInvalidTable));
  }
}

void TStringResource::CloseTable() {
  while (tableData_ != nullptr) UnlockTable();
  if (resourceHandle_ != nullptr) {
    FreeResource(resourceHandle_);
    resourceHandle_ = nullptr;
    resourceSize_ = 0;
  }
}

void TStringResource::LockTable() {
  tableData_ = resourceHandle_ != nullptr ? LockResource(resourceHandle_) : nullptr;
  if (tableData_ == nullptr) Raise(Message(kMsgCannotLock));
}

void TStringResource::UnlockTable() {
  // Resources need no unlocking on Win32 (UnlockResource always answers 0); only the address
  // is dropped.
  tableData_ = nullptr;
}

std::optional<Str0Entry> TStringResource::FindEntry(int32_t id) {
  std::optional<Str0Entry> entry;
  if (tableData_ != nullptr) entry = Str0Table(tableData_, resourceSize_).FindEntry(id);
  if (!entry && ReportMissing) Raise(rtl::Format(Message(kMsgStringNotFound).c_str(), id));
  return entry;
}

std::string TStringResource::GetString(int32_t id) {
  LockTable();
  struct Unlock {
    TStringResource* self;
    ~Unlock() { self->UnlockTable(); }
  } unlock{this};
  std::optional<Str0Entry> entry = FindEntry(id);
  if (!entry) return std::string();
  std::optional<std::u16string> text = Str0Table(tableData_, resourceSize_).Text(*entry);
  return text ? ToAnsi(*text) : std::string();
}

std::optional<std::string> TStringResource::Lookup(int32_t id) const {
  const void* data = resourceHandle_ != nullptr ? LockResource(resourceHandle_) : nullptr;
  if (data == nullptr) return std::nullopt;
  std::optional<std::u16string> text = Str0Table(data, resourceSize_).Find(id);
  if (!text) return std::nullopt;
  return ToAnsi(*text);
}

std::string TStringResource::Message(StringResourceMessage id) const {
  // Looked up without raising: a failure here would otherwise report itself without end.
  if (family_.messages != nullptr) {
    std::optional<std::string> text = family_.messages->Lookup(id);
    if (text && !text->empty() && ConversionsOf(*text) == kConversions[id - 1]) return *text;
  }
  return id == kMsgInvalidTable ? family_.invalidTableText : kSharedFallback[id - 1];
}

void TStringResource::Raise(const std::string& message) const {
  std::rethrow_exception(family_.makeError(message));
}

void InitializeFamily(StringFamily& family, HINSTANCE instance) {
  if (family.guard-- != 0) return;
  try {
    family.messages = family.create(instance, family.messageTable);
    family.strings = family.create(instance, family.stringTable);
  } catch (...) {
    delete family.messages;
    family.messages = nullptr;
    family.guard = 0;
    throw;
  }
}

void FinalizeFamily(StringFamily& family) {
  if (family.guard++ != -1) return;
  delete family.strings;
  family.strings = nullptr;
  delete family.messages;
  family.messages = nullptr;
}

void Initialize(HINSTANCE instance) {
  StringFamily* families[] = {&fx::StringResourceFamily(), &ec::StringResourceFamily(),
                              &su::StringResourceFamily()};
  size_t opened = 0;
  try {
    for (; opened < std::size(families); ++opened) InitializeFamily(*families[opened], instance);
  } catch (...) {
    while (opened > 0) FinalizeFamily(*families[--opened]);
    throw;
  }
}

void Finalize() {
  FinalizeFamily(su::StringResourceFamily());
  FinalizeFamily(ec::StringResourceFamily());
  FinalizeFamily(fx::StringResourceFamily());
}

}  // namespace strres
