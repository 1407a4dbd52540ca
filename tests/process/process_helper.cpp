// The program the process tests start:
//   echo <file> <argument>...   writes each argument in brackets, one a line, to file
//   exit <code>                 ends with code
//   sleep <milliseconds> <file> waits, then creates file
// Files appear complete: they are written under another name and renamed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

int writeFile(const std::string& file, const std::string& contents) {
  const std::string part = file + ".part";
  std::ofstream(part, std::ios::binary) << contents;
  return std::rename(part.c_str(), file.c_str()) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "echo") == 0) {
    std::string contents;
    for (int i = 3; i < argc; ++i) contents += std::string("[") + argv[i] + "]\n";
    return writeFile(argv[2], contents);
  }
  if (argc == 3 && std::strcmp(argv[1], "exit") == 0) return std::atoi(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "sleep") == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
    return writeFile(argv[3], "");
  }
  return 100;
}
