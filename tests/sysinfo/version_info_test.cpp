// The version reader on the test program's own resource, on the system's shell library, and on
// small libraries made for the odd cases; the number rules by their examples.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "FormStreams.h"
#include "ImportPatch.h"
#include "TestFiles.h"
#include "rtl/Streams.h"
#include "sysinfo/SuFiles.h"
#include "sysinfo/SuVInfo.h"

using namespace sysinfo;

namespace {

std::string OwnFile() {
  char name[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, name, MAX_PATH);
  return name;
}

// A library beside the test program.
std::string Beside(const std::string& file) {
  std::string own = OwnFile();
  return own.substr(0, own.find_last_of('\\') + 1) + file;
}

std::string LanguageNameOf(WORD language) {
  char name[260] = {};
  VerLanguageNameA(language, name, sizeof name);
  return name;
}

// The platform's GetModuleFileNameA, answering for one made-up module with a path of any length,
// cut to the buffer as the platform cuts it.
decltype(&GetModuleFileNameA) o_GetModuleFileNameA = nullptr;
const HMODULE kLongModule = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7E570000));
std::string g_longPath;

DWORD WINAPI LongModuleFileNameA(HMODULE module, LPSTR out, DWORD size) {
  if (module != kLongModule) return o_GetModuleFileNameA(module, out, size);
  if (size == 0) return 0;
  DWORD n = static_cast<DWORD>(std::min<size_t>(g_longPath.size(), size - 1));
  std::memcpy(out, g_longPath.data(), n);
  out[n] = '\0';
  if (g_longPath.size() < size) return n;
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

// The code of the version error that f raises, with its text; 0 when it raises none.
template <class F>
int32_t ErrorOf(F f, std::string* text = nullptr) {
  try {
    f();
  } catch (const ESuVersionInfoError& e) {
    if (text) *text = e.what();
    return e.ErrorCode();
  }
  return 0;
}

}  // namespace

TEST(VersionInfo, WithNoFileNameReadsTheProgramsOwnResourceUnderItsFirstTranslation) {
  TSuVersionInfo info(nullptr);
  EXPECT_EQ(info.FileName(), OwnFile());
  EXPECT_FALSE(info.InfoLoaded());
  info.LoadVersionInfo();
  EXPECT_TRUE(info.InfoLoaded());

  EXPECT_EQ(info.Language(), 0x0409u | (1252u << 16)) << "language low, code page high";
  EXPECT_EQ(info.TranslationCount(), 2u);
  EXPECT_EQ(info.LanguageName(), LanguageNameOf(0x0409));
  EXPECT_NE(info.LanguageName(), LanguageNameOf(1252));

  EXPECT_EQ(info.FileVersionMS(), (2u << 16) | 4u);
  EXPECT_EQ(info.FileVersionLS(), 17u);
  EXPECT_EQ(info.ProductVersionMS(), (4u << 16) | 72u);
  EXPECT_EQ(info.ProductVersionLS(), 3110u << 16);
  EXPECT_EQ(info.FileFlagsMask(), 0x3Fu);
  EXPECT_EQ(info.FileFlags(), static_cast<uint32_t>(VS_FF_PRERELEASE));
  EXPECT_EQ(info.FileOS(), static_cast<uint32_t>(VOS_NT_WINDOWS32));
  EXPECT_EQ(info.FileType(), static_cast<uint32_t>(VFT_DRV));
  EXPECT_EQ(info.FileSubtype(), static_cast<uint32_t>(VFT2_DRV_SYSTEM));

  // Every value from the first translation, even where the second has one of its own.
  EXPECT_EQ(info.Comments(), "") << "a value of no characters";
  EXPECT_EQ(info.CompanyName(), "Brindlex UK");
  EXPECT_EQ(info.FileDescription(), "Version reader tests");
  EXPECT_EQ(info.FileVersion(), "4.71");
  EXPECT_EQ(info.InternalName(), "test_sysinfo");
  EXPECT_EQ(info.LegalCopyright(), "Copyright \xA9 Brindlex UK");
  EXPECT_EQ(info.LegalTrademarks(), "") << "only the second translation has it";
  EXPECT_EQ(info.OriginalFilename(), "test_sysinfo.exe");
  EXPECT_EQ(info.ProductName(), "Tessaline tests");
  EXPECT_EQ(info.ProductVersion(), "4.72.3110.0");
  EXPECT_DOUBLE_EQ(info.FileVersionNumber(), 4.71) << "a plain number";
  EXPECT_DOUBLE_EQ(info.ProductVersionNumber(), 4.72) << "up to the second full stop";
}

TEST(VersionInfo, GetKeyValueReadsOneKeyOfTheFirstTranslation) {
  TSuVersionInfo info(nullptr);
  EXPECT_EQ(info.GetKeyValue("Special Build"), "first");
  EXPECT_TRUE(info.InfoLoaded()) << "the translation table has been read";
  EXPECT_DOUBLE_EQ(info.FileVersionNumber(), 4.71) << "one key read is not every value read";
  EXPECT_EQ(info.GetKeyValue("Comments"), "");
  std::string text;
  EXPECT_EQ(ErrorOf([&] { info.GetKeyValue("Private Build"); }, &text), 134) << "only the second has it";
  EXPECT_EQ(text, "The specified key cannnot be found in version info");
  EXPECT_EQ(ErrorOf([&] { info.GetKeyValue("No Such Key"); }), 134);
}

TEST(VersionInfo, FileVersionNumberReadsTheResourceWhenNotYetRead) {
  TSuVersionInfo info(nullptr);
  ASSERT_FALSE(info.InfoLoaded());
  EXPECT_DOUBLE_EQ(info.FileVersionNumber(), 4.71);
  EXPECT_TRUE(info.InfoLoaded());
  EXPECT_EQ(info.ProductName(), "Tessaline tests");
}

TEST(VersionInfo, ReadsTheSystemShellLibrary) {
  TSuVersionInfo info(nullptr);
  std::string shell = SystemDirectory() + "\\shell32.dll";
  info.SetFileName(shell);
  EXPECT_EQ(info.FileName(), shell);
  info.LoadVersionInfo();
  EXPECT_GE(info.TranslationCount(), 1u);
  EXPECT_FALSE(info.FileVersion().empty());
  EXPECT_FALSE(info.ProductName().empty());
  // The text and the fixed information give the same major and minor numbers.
  std::string leading = std::to_string(HIWORD(info.FileVersionMS())) + "." + std::to_string(LOWORD(info.FileVersionMS())) + ".";
  EXPECT_EQ(info.FileVersion().substr(0, leading.size()), leading) << info.FileVersion();
  EXPECT_GE(info.FileVersionNumber(), 4.0) << info.FileVersion();
  EXPECT_LT(info.FileVersionNumber(), HIWORD(info.FileVersionMS()) + 1.0) << info.FileVersion();
}

TEST(VersionInfo, AMissingFileIsAnErrorAndTheNameStaysAsItWas) {
  TSuVersionInfo info(nullptr);
  std::string before = info.FileName();
  std::string text;
  EXPECT_EQ(ErrorOf([&] { info.SetFileName(Beside("no_such_file.dll")); }, &text), 73);
  EXPECT_EQ(text, "Error opening file");
  EXPECT_EQ(info.FileName(), before);
  // A folder is no file either.
  EXPECT_EQ(ErrorOf([&] { info.SetFileName(SystemDirectory()); }), 73);
  EXPECT_EQ(info.FileName(), before);
}

TEST(VersionInfo, ChangingTheFileForgetsWhatWasRead) {
  TSuVersionInfo info(nullptr);
  info.LoadVersionInfo();
  info.SetFileName(info.FileName());
  EXPECT_TRUE(info.InfoLoaded()) << "the same name";
  info.SetFileName(Beside("sysinfo_second.dll"));
  EXPECT_FALSE(info.InfoLoaded());
  EXPECT_EQ(ErrorOf([&] { info.GetKeyValue("FileVersion"); }), 134) << "raised past the translation";
  EXPECT_TRUE(info.InfoLoaded());
  EXPECT_EQ(info.FileVersionNumber(), 0.0) << "this file's, not the 4.71 of the one before";
  EXPECT_EQ(info.FileVersionMS(), 1u << 16);
  info.SetFileName("");
  EXPECT_EQ(info.FileName(), OwnFile()) << "empty means the program's own file";
}

TEST(VersionInfo, AFileWithoutAVersionResource) {
  TSuVersionInfo info(nullptr);
  info.SetFileName(Beside("sysinfo_plain.dll"));
  std::string text;
  EXPECT_EQ(ErrorOf([&] { info.LoadVersionInfo(); }, &text), 100);
  EXPECT_EQ(text, "File does not contain version info");
  EXPECT_FALSE(info.InfoLoaded());
  EXPECT_EQ(ErrorOf([&] { info.GetKeyValue("ProductName"); }), 100);
  // Windows answers 1813 for that file and 1812 for one without any resources, Wine 1812 for both:
  // what the file holds decides.
  info.SetFileName(Beside("sysinfo_bare.dll"));
  EXPECT_EQ(ErrorOf([&] { info.LoadVersionInfo(); }), 101) << "no resources at all";
  const std::string plain = Beside("sysinfo_plain.dll"), bare = Beside("sysinfo_bare.dll");
  EXPECT_EQ(VersionSizeErrorCode(ERROR_RESOURCE_TYPE_NOT_FOUND, plain), 100);
  EXPECT_EQ(VersionSizeErrorCode(ERROR_RESOURCE_DATA_NOT_FOUND, plain), 100);
  EXPECT_EQ(VersionSizeErrorCode(ERROR_RESOURCE_DATA_NOT_FOUND, bare), 101);
  EXPECT_EQ(VersionSizeErrorCode(ERROR_ACCESS_DENIED, plain), 101);
}

TEST(VersionInfo, AFileThatCannotBeOpenedCannotBeRead) {
  std::string dir = tsupport::FreshTestDir("sysinfo");
  std::string file = dir + "\\locked.dll";
  ASSERT_TRUE(CopyFileA(Beside("sysinfo_second.dll").c_str(), file.c_str(), FALSE));
  TSuVersionInfo info(nullptr);
  info.SetFileName(file);
  HANDLE locked = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  std::string text;
  EXPECT_EQ(ErrorOf([&] { info.LoadVersionInfo(); }, &text), 101) << "shared with no one";
  EXPECT_EQ(text, "Unable to read version info");
  CloseHandle(locked);
  EXPECT_EQ(ErrorOf([&] { info.LoadVersionInfo(); }), 0);
  tsupport::RemoveTree(dir);
}

TEST(VersionInfo, StringsOnlyUnderTheSecondTranslationAreNotRead) {
  TSuVersionInfo info(nullptr);
  info.SetFileName(Beside("sysinfo_second.dll"));
  info.LoadVersionInfo();
  EXPECT_EQ(info.TranslationCount(), 2u);
  EXPECT_EQ(info.Language(), 0x0409u | (1252u << 16));
  EXPECT_EQ(info.CompanyName(), "");
  EXPECT_EQ(info.FileVersion(), "");
  EXPECT_EQ(info.ProductName(), "");
  EXPECT_EQ(info.FileVersionNumber(), 0.0) << "no text, no number";
  EXPECT_EQ(info.FileVersionMS(), 1u << 16) << "the fixed information is there";
  EXPECT_EQ(ErrorOf([&] { info.GetKeyValue("ProductName"); }), 134);
}

TEST(VersionInfo, AnEmptyTranslationTableNamesLanguageZero) {
  TSuVersionInfo info(nullptr);
  info.SetFileName(Beside("sysinfo_odd.dll"));
  info.LoadVersionInfo();
  EXPECT_EQ(info.TranslationCount(), 0u);
  EXPECT_EQ(info.Language(), 0u);
  EXPECT_EQ(info.FileVersion(), "ab.cd.e") << "read from the table of translation 0";
  EXPECT_EQ(info.Comments(), "Odd comments");
  EXPECT_EQ(info.LegalTrademarks(), "Odd marks");
  EXPECT_EQ(info.FileVersionNumber(), 0.0) << "\"ab,cd\" is no number";
  EXPECT_EQ(info.ProductVersionNumber(), 0.0) << "second full stop past position 6";
}

TEST(VersionInfo, TheProgramsPathIsReadWholeHoweverLong) {
  // A path of more than 256 characters: a shorter buffer would cut it and name another file.
  std::string dir = tsupport::FreshTestDir("sysinfo");
  std::string deep = dir;
  while (deep.size() < 230) deep += "\\" + std::string(20, 'd'), CreateDirectoryA(deep.c_str(), nullptr);
  std::string copy = deep + "\\" + std::string(254 - deep.size(), 'x') + ".dll";  // 259 characters
  ASSERT_EQ(copy.size(), 259u);
  ASSERT_TRUE(CopyFileA(Beside("sysinfo_second.dll").c_str(), copy.c_str(), FALSE));
  HMODULE library = LoadLibraryA(copy.c_str());
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(ModuleFileName(library), copy);
  FreeLibrary(library);
  tsupport::RemoveTree(dir);
  // Up to the longest path there is, 32 767 characters (too long for a real file here), through
  // this program's view of the platform's call.
  if (!o_GetModuleFileNameA) {
    const tsupport::ImportHook hook{"GetModuleFileNameA", reinterpret_cast<void*>(&LongModuleFileNameA),
                                    reinterpret_cast<void**>(&o_GetModuleFileNameA)};
    tsupport::PatchImports(GetModuleHandleA(nullptr), &hook, 1);
  }
  for (size_t length : {16639u, 16640u, 32767u}) {
    g_longPath = "C:\\" + std::string(length - 3, 'p');
    EXPECT_TRUE(ModuleFileName(kLongModule) == g_longPath) << length << " characters";
  }
}

TEST(VersionInfo, APlainVersionNumberKeepsItsFullStopWhateverTheLocalesSeparator) {
  struct Separator {  // the user's decimal separator a comma while it lives
    char saved[8] = {};
    Separator() {
      GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved, sizeof saved);
      SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ",");
    }
    ~Separator() { SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved); }
  } comma;
  ASSERT_EQ(LocaleDecimalSeparator(), ',');
  TSuVersionInfo info(nullptr);
  info.LoadVersionInfo();
  EXPECT_DOUBLE_EQ(info.FileVersionNumber(), 4.71) << "\"4.71\" as it is";
  EXPECT_DOUBLE_EQ(info.ProductVersionNumber(), 4.72) << "\"4.72.3110.0\": its full stop became a comma";
}

TEST(VersionInfo, StringTablePrefixIsLanguageThenCodePageInLowerCaseHex) {
  EXPECT_EQ(TSuCustomVersionInfo::StringTablePrefix(1033u | (1252u << 16)), "StringFileInfo\\040904e4\\");
  EXPECT_EQ(TSuCustomVersionInfo::StringTablePrefix(0x0407u | (0x04B0u << 16)), "StringFileInfo\\040704b0\\");
  EXPECT_EQ(TSuCustomVersionInfo::StringTablePrefix(0), "StringFileInfo\\00000000\\");
}

TEST(VersionInfo, VersionStringToNumberTakesThePartBeforeTheSecondFullStop) {
  EXPECT_DOUBLE_EQ(VersionStringToNumber("4.72.3110.0", '.'), 4.72);
  EXPECT_DOUBLE_EQ(VersionStringToNumber("4.00.950", '.'), 4.0);
  EXPECT_DOUBLE_EQ(VersionStringToNumber("12345.6.7", '.'), 0.0) << "second full stop at position 8";
  EXPECT_DOUBLE_EQ(VersionStringToNumber("1234.6.7", '.'), 0.0) << "second full stop at position 7";
  EXPECT_DOUBLE_EQ(VersionStringToNumber("123.5.7", '.'), 123.5) << "second full stop at position 6";
  EXPECT_DOUBLE_EQ(VersionStringToNumber("4.71", '.'), 0.0) << "one full stop only";
  // Full stops become the locale's separator, which the conversion then expects.
  EXPECT_DOUBLE_EQ(VersionStringToNumber("4.72.3110.0", ','), 4.72);
  EXPECT_DOUBLE_EQ(VersionStringToNumber("6.1.7601", ','), 6.1);
  EXPECT_THROW(VersionStringToNumber("ab.cd.e", '.'), rtl::EConvertError);
  EXPECT_DOUBLE_EQ(VersionStringToNumber("4.72.3110.0"), 4.72) << "the user's own separator";
}

TEST(SuComponent, VersionIsTwoPointZeroFourAndNeverStored) {
  TSuVersionInfo info(nullptr);
  info.SetName("Reader");
  EXPECT_EQ(info.Version(), "2.04");
  info.SetVersion("9.99");
  EXPECT_EQ(info.Version(), "2.04");

  std::string text = tsupport::FormText(&info);
  EXPECT_EQ(text.find("Version ="), std::string::npos) << text;

  // A resource that names it still loads.
  TSuVersionInfo loaded(nullptr);
  tsupport::LoadFormText(&loaded, "object Reader: TSuVersionInfo\n  Version = '1.00'\nend\n");
  EXPECT_EQ(loaded.Version(), "2.04");
  EXPECT_EQ(loaded.FileName(), OwnFile());
}
