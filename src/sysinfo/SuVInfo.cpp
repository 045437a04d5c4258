#include "SuVInfo.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "SuFiles.h"
#include "SuVerCalls.h"

namespace sysinfo {

RTL_IMPLEMENT_CLASS(TSuCustomVersionInfo);
RTL_IMPLEMENT_CLASS(TSuVersionInfo);

void RaiseVersionInfoError(int32_t code) { throw ESuVersionInfoError(SuResourceString(code), code); }

namespace {

BOOL CALLBACK FoundResourceType(HMODULE, LPSTR, LONG_PTR found) {
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;  // one is enough
}

// Whether the file carries any resources at all. Loaded as data: none of its code runs.
bool HoldsResources(const std::string& fileName) {
  HMODULE file = LoadLibraryExA(fileName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!file) return false;
  bool found = false;
  EnumResourceTypesA(file, &FoundResourceType, reinterpret_cast<LONG_PTR>(&found));
  FreeLibrary(file);
  return found;
}

}  // namespace

int32_t VersionSizeErrorCode(DWORD error, const std::string& fileName) {
  if (error == ERROR_RESOURCE_TYPE_NOT_FOUND) return suNoVersionInfo;
  // Windows answers 1812 for a file with no resources at all, Wine for any file without a
  // version resource: what the file holds tells the two apart.
  if (error == ERROR_RESOURCE_DATA_NOT_FOUND && HoldsResources(fileName)) return suNoVersionInfo;
  return suCannotReadInfo;
}

namespace {

// A decimal number filling the whole text: blanks around it, a sign, digits with one separator,
// an exponent.
std::optional<double> ParseDecimal(const std::string& text, char separator) {
  size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
  if (b == std::string::npos) return std::nullopt;
  std::string s = text.substr(b, e - b + 1);
  size_t i = 0, digits = 0;
  if (s[i] == '+' || s[i] == '-') ++i;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++digits;
  if (i < s.size() && s[i] == separator) {
    s[i++] = '.';
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1, expDigits = 0;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    for (; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j) ++expDigits;
    if (expDigits == 0) return std::nullopt;
    i = j;
  }
  if (i != s.size()) return std::nullopt;
  const char* first = s.data() + (s[0] == '+' ? 1 : 0);
  double value = 0;
  auto [end, ec] = std::from_chars(first, s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

// A version text as a number: as a plain number when it is one, else by its leading parts.
double VersionTextToNumber(const std::string& text) {
  if (auto plain = ParseDecimal(text, '.')) return *plain;
  try {
    return VersionStringToNumber(text);
  } catch (const rtl::EConvertError&) {
    return 0;
  }
}

}  // namespace

char LocaleDecimalSeparator() {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 1) return separator[0];
  return '.';
}

double VersionStringToNumber(const std::string& text, char decimalSeparator) {
  std::string scanned = text, result = "0";
  int stops = 0;
  for (size_t i = 0; i < scanned.size(); ++i) {
    if (scanned[i] != '.') continue;
    scanned[i] = decimalSeparator;
    if (++stops == 2) {
      if (i + 1 <= 6) result = scanned.substr(0, i);  // positions count from 1
      break;
    }
  }
  if (auto number = ParseDecimal(result, decimalSeparator)) return *number;
  throw rtl::EConvertError(rtl::Format("'%s' is not a valid floating point value", result.c_str()));
}

double VersionStringToNumber(const std::string& text) { return VersionStringToNumber(text, LocaleDecimalSeparator()); }

// A file's version resource as the platform reads it, and queries into it. Every query result is
// bounded by the buffer: the platform's lengths are not trusted beyond it.
class TSuCustomVersionInfo::TResource {
 public:
  explicit TResource(const std::string& fileName) {
    DWORD ignored = 0;
    DWORD size = ver::GetFileVersionInfoSizeA(fileName.c_str(), &ignored);
    if (size == 0) RaiseVersionInfoError(VersionSizeErrorCode(GetLastError(), fileName));
    data_.resize(size);
    if (!ver::GetFileVersionInfoA(fileName.c_str(), 0, size, data_.data())) RaiseVersionInfoError(suCannotReadInfo);
  }

  // The value's bytes (binary values) or characters (texts); false when the resource lacks it.
  // Results point into the buffer (converted texts too); anything else is refused, and a length
  // is cut at the buffer's end.
  bool Query(const std::string& path, const void*& value, size_t& length) const {
    void* p = nullptr;
    UINT n = 0;
    if (!ver::VerQueryValueA(data_.data(), path.c_str(), &p, &n) || !p) return false;
    const auto* at = static_cast<const uint8_t*>(p);
    const uint8_t* end = data_.data() + data_.size();
    if (at < data_.data() || at > end) return false;
    value = p;
    length = std::min<size_t>(n, static_cast<size_t>(end - at));
    return true;
  }

  // A text value: the characters up to its terminator or its length, whichever comes first.
  std::optional<std::string> Text(const std::string& path) const {
    const void* p = nullptr;
    size_t n = 0;
    if (!Query(path, p, n)) return std::nullopt;
    const char* text = static_cast<const char*>(p);
    return std::string(text, strnlen(text, n));
  }

 private:
  std::vector<uint8_t> data_;
};

TSuCustomVersionInfo::TSuCustomVersionInfo(rtl::TComponent* owner) : TSuComponent(owner) {
  infoLoaded_ = false;
  SetFileName("");
}

void TSuCustomVersionInfo::SetFileName(const std::string& value) {
  bool designing = (ComponentState() & rtl::csDesigning) != 0;
  if (!value.empty() && !designing && !FileExists(value)) RaiseVersionInfoError(suErrorOpeningFile);
  if (value != fileName_) infoLoaded_ = valuesLoaded_ = false;
  fileName_ = value;
  if (fileName_.empty() && !designing) DefaultFileName();
}

void TSuCustomVersionInfo::DefaultFileName() { fileName_ = ModuleFileName(nullptr); }

void TSuCustomVersionInfo::Loaded() {
  inherited::Loaded();
  if (fileName_.empty() && !(ComponentState() & rtl::csDesigning)) DefaultFileName();
}

std::string TSuCustomVersionInfo::StringTablePrefix(uint32_t language) {
  char prefix[40];
  std::snprintf(prefix, sizeof prefix, "StringFileInfo\\%.4x%.4x\\", static_cast<unsigned>(language & 0xFFFF),
                static_cast<unsigned>(language >> 16));
  return prefix;
}

void TSuCustomVersionInfo::ReadTranslation(TResource& resource) {
  const void* table = nullptr;
  size_t length = 0;
  if (!resource.Query("\\VarFileInfo\\Translation", table, length)) RaiseVersionInfoError(suCannotReadInfo);
  // An empty table names no translation: no string value can be found then.
  language_ = 0;
  if (length >= sizeof language_) std::memcpy(&language_, table, sizeof language_);
  translationCount_ = static_cast<uint32_t>(length / 4);
  char name[260] = {};
  ver::VerLanguageNameA(language_ & 0xFFFF, name, sizeof name);
  languageName_ = name;
  infoLoaded_ = true;
}

std::string TSuCustomVersionInfo::GetKeyValue(const std::string& name) {
  TResource resource(fileName_);
  ReadTranslation(resource);
  auto value = resource.Text(StringTablePrefix(language_) + name);
  if (!value) RaiseVersionInfoError(suKeyNotFound);
  return *value;
}

void TSuCustomVersionInfo::LoadVersionInfo() {
  struct Key {
    const char* name;
    std::string TSuCustomVersionInfo::*value;
  };
  static constexpr Key keys[] = {
      {"Comments", &TSuCustomVersionInfo::comments_},
      {"CompanyName", &TSuCustomVersionInfo::companyName_},
      {"FileDescription", &TSuCustomVersionInfo::fileDescription_},
      {"FileVersion", &TSuCustomVersionInfo::fileVersion_},
      {"InternalName", &TSuCustomVersionInfo::internalName_},
      {"LegalCopyright", &TSuCustomVersionInfo::legalCopyright_},
      {"LegalTrademarks", &TSuCustomVersionInfo::legalTrademarks_},
      {"OriginalFilename", &TSuCustomVersionInfo::originalFilename_},
      {"ProductName", &TSuCustomVersionInfo::productName_},
      {"ProductVersion", &TSuCustomVersionInfo::productVersion_},
  };
  TResource resource(fileName_);
  valuesLoaded_ = false;
  ReadTranslation(resource);
  // Nothing read from another file stays: a failure below leaves the values empty.
  fixed_ = VS_FIXEDFILEINFO{};
  for (const Key& key : keys) (this->*key.value).clear();
  fileVersionNumber_ = productVersionNumber_ = 0;

  const void* fixed = nullptr;
  size_t length = 0;
  if (!resource.Query("\\", fixed, length)) RaiseVersionInfoError(suCannotReadInfo);
  std::memcpy(&fixed_, fixed, std::min(length, sizeof fixed_));

  const std::string prefix = StringTablePrefix(language_);
  for (const Key& key : keys) this->*key.value = resource.Text(prefix + key.name).value_or("");
  fileVersionNumber_ = VersionTextToNumber(fileVersion_);
  productVersionNumber_ = VersionTextToNumber(productVersion_);
  valuesLoaded_ = true;
}

double TSuCustomVersionInfo::FileVersionNumber() {
  if (!valuesLoaded_) LoadVersionInfo();
  return fileVersionNumber_;
}

void TSuVersionInfo::DeclareProperties(rtl::TClassBuilder<TSuVersionInfo>& b) {
  b.Str("FileName", &TSuVersionInfo::FileName, &TSuVersionInfo::SetFileName);
}

}  // namespace sysinfo
