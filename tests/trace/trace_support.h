// What the trace tests share: a key's variables set for one test, trace files in the
// working directory, and records read back from bytes.
#ifndef VRNQEL43_TESTS_TRACE_TRACE_SUPPORT_H
#define VRNQEL43_TESTS_TRACE_TRACE_SUPPORT_H

#include <vrnqel43.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

// Sets KEY_TRACE_<suffix> for the object's lifetime; every other variable of the key
// is unset meanwhile.
class KeyVariables {
public:
  KeyVariables(const std::string& key, std::initializer_list<std::pair<const char*, std::string>> values)
      : prefix(key + "_TRACE_") {
    for (const char* suffix : kSuffixes) QelClEnvironmentVariable((prefix + suffix).c_str(), "");
    for (const auto& value : values) QelClEnvironmentVariable((prefix + value.first).c_str(), value.second.c_str());
  }
  ~KeyVariables() {
    for (const char* suffix : kSuffixes) QelClEnvironmentVariable((prefix + suffix).c_str(), "");
  }

private:
  static constexpr const char* kSuffixes[] = {"ACTIVE", "DETAIL", "AUTOSAVE", "AUTOFLUSH", "AUTOCLEAR", "COMPRESS",
                                              "COMPSET", "BUFSIZE", "FILE", "FORMAT", "VERBOSE", "CRASHSAVE",
                                              "DURABLE"};
  std::string prefix;
};

inline std::string readFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A record as it lies in the buffer and in files, strings as stored.
struct Record {
  unsigned int kind, component;
  std::uint32_t processId, threadId;
  std::string message, function, data;
};

inline std::uint32_t wordAt(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

// Every whole record of bytes; ok is false when bytes end inside one.
inline std::vector<Record> parseRecords(const std::string& bytes, bool* ok = nullptr) {
  std::vector<Record> records;
  std::size_t at = 0;
  while (at + 20 <= bytes.size()) {
    const std::size_t m = static_cast<unsigned char>(bytes[at + 2]), f = static_cast<unsigned char>(bytes[at + 3]);
    const std::size_t d = wordAt(bytes, at + 16);
    if (at + 20 + m + f + d > bytes.size()) break;
    records.push_back({static_cast<unsigned char>(bytes[at]), static_cast<unsigned char>(bytes[at + 1]),
                       wordAt(bytes, at + 8), wordAt(bytes, at + 12), bytes.substr(at + 20, m), bytes.substr(at + 20 + m, f),
                       bytes.substr(at + 20 + m + f, d)});
    at += 20 + m + f + d;
  }
  if (ok != nullptr) *ok = at == bytes.size();
  return records;
}

#endif
