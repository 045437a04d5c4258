// The version-information reader: the translation table, the fixed file information and the
// standard string values of the first translation of a file's version resource.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "SuBase.h"

namespace sysinfo {

class ESuVersionInfoError : public ESuException {
 public:
  using ESuException::ESuException;
};

// Error numbers, each the id of its text in the family's string table.
enum TSuVersionInfoErrorCode : int32_t {
  suErrorOpeningFile = 73,   // "Error opening file"
  suNoVersionInfo = 100,     // "File does not contain version info"
  suCannotReadInfo = 101,    // "Unable to read version info"
  suKeyNotFound = 134,       // "The specified key cannnot be found in version info"
};

// Raises ESuVersionInfoError with the code and its text from the family's string table.
[[noreturn]] void RaiseVersionInfoError(int32_t code);
// The code for the platform's last error when sizing a file's version resource failed:
// suNoVersionInfo for a file that holds resources but no version resource, else suCannotReadInfo.
int32_t VersionSizeErrorCode(DWORD error, const std::string& fileName);

class TSuCustomVersionInfo : public TSuComponent {
  RTL_CLASS(TSuCustomVersionInfo, TSuComponent)
 public:
  explicit TSuCustomVersionInfo(rtl::TComponent* owner);

  const std::string& FileName() const { return fileName_; }
  // Raises suErrorOpeningFile for a name of no existing file (FileName stays as it was); an
  // empty name means the program's own file.
  void SetFileName(const std::string& value);
  // The resource's translation table has been read for the current FileName (by
  // LoadVersionInfo or GetKeyValue, even one that failed after it).
  bool InfoLoaded() const { return infoLoaded_; }

  // Reads every value below. Raises ESuVersionInfoError.
  void LoadVersionInfo();
  // One string value of the first translation; suKeyNotFound when the resource lacks the key.
  std::string GetKeyValue(const std::string& name);

  // The first translation: language identifier in the low 16 bits, code page in the high ones.
  uint32_t Language() const { return language_; }
  uint32_t TranslationCount() const { return translationCount_; }
  const std::string& LanguageName() const { return languageName_; }

  uint32_t FileVersionMS() const { return fixed_.dwFileVersionMS; }
  uint32_t FileVersionLS() const { return fixed_.dwFileVersionLS; }
  uint32_t ProductVersionMS() const { return fixed_.dwProductVersionMS; }
  uint32_t ProductVersionLS() const { return fixed_.dwProductVersionLS; }
  uint32_t FileFlagsMask() const { return fixed_.dwFileFlagsMask; }
  uint32_t FileFlags() const { return fixed_.dwFileFlags; }
  uint32_t FileOS() const { return fixed_.dwFileOS; }
  uint32_t FileType() const { return fixed_.dwFileType; }
  uint32_t FileSubtype() const { return fixed_.dwFileSubtype; }

  const std::string& Comments() const { return comments_; }
  const std::string& CompanyName() const { return companyName_; }
  const std::string& FileDescription() const { return fileDescription_; }
  const std::string& FileVersion() const { return fileVersion_; }
  const std::string& InternalName() const { return internalName_; }
  const std::string& LegalCopyright() const { return legalCopyright_; }
  const std::string& LegalTrademarks() const { return legalTrademarks_; }
  const std::string& OriginalFilename() const { return originalFilename_; }
  const std::string& ProductName() const { return productName_; }
  const std::string& ProductVersion() const { return productVersion_; }

  // FileVersion as a number; runs LoadVersionInfo first unless one has read every value of the
  // current file.
  double FileVersionNumber();
  double ProductVersionNumber() const { return productVersionNumber_; }

  // "StringFileInfo\llllcccc\" for a translation entry: language, then code page, each as four
  // lower-case hexadecimal digits.
  static std::string StringTablePrefix(uint32_t language);

  void Loaded() override;

 private:
  class TResource;
  void ReadTranslation(TResource& resource);
  void DefaultFileName();

  std::string fileName_;
  bool infoLoaded_ = false;
  bool valuesLoaded_ = false;  // a LoadVersionInfo has read every value for the current file
  uint32_t language_ = 0;
  uint32_t translationCount_ = 0;
  std::string languageName_;
  VS_FIXEDFILEINFO fixed_{};
  std::string comments_, companyName_, fileDescription_, fileVersion_, internalName_, legalCopyright_,
      legalTrademarks_, originalFilename_, productName_, productVersion_;
  double fileVersionNumber_ = 0, productVersionNumber_ = 0;
};

class TSuVersionInfo : public TSuCustomVersionInfo {
  RTL_CLASS(TSuVersionInfo, TSuCustomVersionInfo)
 public:
  explicit TSuVersionInfo(rtl::TComponent* owner) : TSuCustomVersionInfo(owner) {}
  static void DeclareProperties(rtl::TClassBuilder<TSuVersionInfo>& b);
};

// A version text read as a number: the part before the second full stop when that stop is among
// the first six characters ("4.72.3110.0" gives 4.72), else 0. Full stops become the decimal
// separator, which the conversion then expects. rtl::EConvertError when the part is no number.
double VersionStringToNumber(const std::string& text, char decimalSeparator);
// The same with the user's locale decimal separator.
double VersionStringToNumber(const std::string& text);
char LocaleDecimalSeparator();

}  // namespace sysinfo
