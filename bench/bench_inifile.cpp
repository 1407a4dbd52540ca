// Reading a generated INI file of 1 MB: the library's parser building its model,
// against inih calling a handler that only counts the entries (it builds nothing),
// and inih with a handler that builds a model of maps, as an application would.
#include <vrnqel43.h>

#include <benchmark/benchmark.h>
#include <ini.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr char kFile[] = "/dev/shm/qel_bench_inifile.ini";

// Sections of twenty options with comments, blank and comment lines between them.
std::string generatedText() {
  std::string text;
  for (int section = 0; text.size() < (1u << 20); ++section) {
    text += "; settings of part " + std::to_string(section) + "\n[part" + std::to_string(section) + "]\n";
    for (int option = 0; option < 20; ++option) {
      text += "option" + std::to_string(option) + " = value number " + std::to_string(option * 7919) +
              (option % 3 == 0 ? " ; a comment\n" : "\n");
    }
    text += "\n";
  }
  return text;
}

class IniFile {
public:
  IniFile() {
    text = generatedText();
    std::ofstream(kFile, std::ios::binary) << text;
  }
  ~IniFile() { std::remove(kFile); }
  std::string text;
};

const IniFile& iniFile() {
  static const IniFile file;
  return file;
}

void IniLoadFile(benchmark::State& state) {
  const IniFile& file = iniFile();
  for (auto _ : state) {
    QelClIniFile ini{QelClFilename(kFile)};
    benchmark::DoNotOptimize(ini.load(false));
    benchmark::DoNotOptimize(ini.getFirstSection());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.text.size()));
}

void IniLoadFromCString(benchmark::State& state) {
  const IniFile& file = iniFile();
  for (auto _ : state) {
    QelClIniFile ini{QelClFilename("memory")};
    const char* const text = file.text.c_str();
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(ini.loadFromCString(text, false));
    benchmark::DoNotOptimize(ini.getFirstSection());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.text.size()));
}

int countEntry(void* user, const char*, const char*, const char*) {
  ++*static_cast<long*>(user);
  return 1;
}

void InihParseFile(benchmark::State& state) {
  const IniFile& file = iniFile();
  for (auto _ : state) {
    long entries = 0;
    benchmark::DoNotOptimize(ini_parse(kFile, countEntry, &entries));
    benchmark::DoNotOptimize(entries);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.text.size()));
}

using Model = std::map<std::string, std::map<std::string, std::string>>;

int storeEntry(void* user, const char* section, const char* name, const char* value) {
  (*static_cast<Model*>(user))[section][name] = value;
  return 1;
}

void InihParseFileIntoMaps(benchmark::State& state) {
  const IniFile& file = iniFile();
  for (auto _ : state) {
    Model model;
    benchmark::DoNotOptimize(ini_parse(kFile, storeEntry, &model));
    benchmark::DoNotOptimize(model.size());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.text.size()));
}

void InihParseString(benchmark::State& state) {
  const IniFile& file = iniFile();
  for (auto _ : state) {
    long entries = 0;
    const char* const text = file.text.c_str();
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(ini_parse_string(text, countEntry, &entries));
    benchmark::DoNotOptimize(entries);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.text.size()));
}

}  // namespace

BENCHMARK(IniLoadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(InihParseFile)->Unit(benchmark::kMillisecond);
BENCHMARK(InihParseFileIntoMaps)->Unit(benchmark::kMillisecond);
BENCHMARK(IniLoadFromCString)->Unit(benchmark::kMillisecond);
BENCHMARK(InihParseString)->Unit(benchmark::kMillisecond);
