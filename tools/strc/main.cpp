// strc: compiles a packed string table source (see StrSource.h) into its binary image.
//   strc SOURCE.txt OUTPUT.bin
// On any fault it prints "SOURCE:LINE: error: ..." and leaves no output file behind, so a broken
// source can never be linked into the program from a stale or half-written image.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "StrSource.h"

namespace {

int Fail(const std::string& where, const std::string& message) {
  std::cerr << where << ": error: " << message << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: strc SOURCE.txt OUTPUT.bin\n";
    return 2;
  }
  const std::string sourcePath = argv[1];
  const std::filesystem::path outPath = argv[2];
  std::error_code ignored;
  std::filesystem::remove(outPath, ignored);

  std::ifstream in(sourcePath, std::ios::binary);
  if (!in) return Fail(sourcePath, "cannot open");
  std::ostringstream source;
  source << in.rdbuf();

  std::vector<unsigned char> image;
  try {
    image = strres::BuildStr0Table(strc::ParseStringSource(source.str()));
  } catch (const strc::SourceError& e) {
    return Fail(sourcePath + ":" + std::to_string(e.Line()), e.what());
  } catch (const std::exception& e) {
    return Fail(sourcePath, e.what());
  }

  // The image must read back as valid; anything else is a fault of this tool.
  strres::Str0Status status = strres::Str0Table(image.data(), image.size()).Validate();
  if (status != strres::Str0Status::kOk)
    return Fail(sourcePath, std::string("internal: image ") + strres::Str0StatusText(status));

  std::filesystem::path tmp = outPath;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    if (!out.flush()) {
      std::filesystem::remove(tmp, ignored);
      return Fail(outPath.string(), "cannot write");
    }
  }
  std::filesystem::rename(tmp, outPath, ignored);
  if (ignored) return Fail(outPath.string(), "cannot write: " + ignored.message());
  return 0;
}
