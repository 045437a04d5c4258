// formc: compiles the readable source of a form resource into its binary encoding.
//   formc input.txt output.bin        text to binary
//   formc --text input.bin            binary to text, on standard output
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "rtl/FormText.h"

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::string(argv[1]) == "--text") {
      rtl::TMemoryStream in;
      in.LoadFromFile(argv[2]);
      std::cout << rtl::ObjectBinaryToText(in);
      return 0;
    }
    if (argc != 3) {
      std::fprintf(stderr, "usage: formc INPUT.txt OUTPUT.bin | formc --text INPUT.bin\n");
      return 2;
    }
    std::ifstream f(argv[1], std::ios::binary);
    if (!f) {
      std::fprintf(stderr, "formc: cannot open %s\n", argv[1]);
      return 1;
    }
    std::stringstream text;
    text << f.rdbuf();
    // Included files are named relative to the source file.
    std::string dir = argv[1];
    size_t slash = dir.find_last_of('/');
    dir = slash == std::string::npos ? "" : dir.substr(0, slash + 1);
    auto include = [&dir](const std::string& name, std::string& bytes) {
      std::ifstream in(dir + name, std::ios::binary);
      if (!in) return false;
      std::stringstream ss;
      ss << in.rdbuf();
      bytes = ss.str();
      return true;
    };
    rtl::TMemoryStream out;
    rtl::ObjectTextToBinary(text.str(), out, include);
    out.SaveToFile(argv[2]);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "formc: %s: %s\n", argv[1], e.what());
    return 1;
  }
}
