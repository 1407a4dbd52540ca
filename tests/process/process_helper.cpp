// The program the process tests start:
//   echo <file> <argument>...   writes each argument in brackets, one a line, to file
//   exit <code>                 ends with code
//   sleep <milliseconds> <file> waits, then creates file
// Files appear complete: they are written under another name and renamed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
  const std::string command = argc >= 3 ? argv[1] : "";
  std::string contents;
  if (command == "exit" && argc == 3) {
    return std::atoi(argv[2]);
  } else if (command == "echo") {
    for (int i = 3; i < argc; ++i) contents += std::string("[") + argv[i] + "]\n";
  } else if (command == "sleep" && argc == 4) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
  } else {
    return 100;
  }
  const std::string file = argv[command == "echo" ? 2 : 3];
  std::ofstream(file + ".part", std::ios::binary) << contents;
  return std::rename((file + ".part").c_str(), file.c_str()) == 0 ? 0 : 1;
}
