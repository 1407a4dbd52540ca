// The published mappings of a code page, read from its UCM file for the table tests.
#ifndef VRNQEL43_TESTS_CODEPAGE_UCM_FILE_H
#define VRNQEL43_TESTS_CODEPAGE_UCM_FILE_H

#include "tests/qel_test.h"

#include <regex>

struct Ucm {
  std::uint32_t ccsid = 0;
  bool singleByte = false;
  std::map<std::string, std::uint32_t> toUnicode;    // round trips and fallbacks to Unicode (|0, |3)
  std::map<std::uint32_t, std::string> fromUnicode;  // round trips and fallbacks from Unicode (|0, |1)
  std::set<std::uint32_t> roundTrips;                // the code points of |0
};

inline Ucm readUcm(const std::filesystem::path& path) {
  static const std::regex line(R"(<U([0-9A-F]{4,6})>\s+((?:\\x[0-9A-F]{2})+)\s+\|([0-3]).*)");
  Ucm ucm;
  ucm.ccsid = static_cast<std::uint32_t>(std::stoul(path.filename().string().substr(4)));
  std::ifstream in(path);
  std::string text;
  std::smatch match;
  while (std::getline(in, text)) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.find("<uconv_class>") == 0) ucm.singleByte = text.find("\"SBCS\"") != std::string::npos;
    if (!std::regex_match(text, match, line)) continue;
    const std::string escaped = match[2];
    std::string bytes;
    for (std::size_t at = 2; at < escaped.size(); at += 4) {
      bytes += static_cast<char>(std::stoi(escaped.substr(at, 2), nullptr, 16));
    }
    const auto codePoint = static_cast<std::uint32_t>(std::stoul(match[1], nullptr, 16));
    const char kind = match[3].str()[0];
    if (kind == '0' || kind == '3') ucm.toUnicode[bytes] = codePoint;
    if (kind == '0' || kind == '1') ucm.fromUnicode[codePoint] = bytes;
    if (kind == '0') ucm.roundTrips.insert(codePoint);
  }
  return ucm;
}

// Every UCM file of the built-in code pages.
inline std::vector<Ucm> readAllUcm() {
  std::vector<Ucm> all;
  for (const auto& entry : std::filesystem::directory_iterator(QEL_UCM_DIR)) {
    if (entry.path().extension() == ".ucm") all.push_back(readUcm(entry.path()));
  }
  std::sort(all.begin(), all.end(), [](const Ucm& a, const Ucm& b) { return a.ccsid < b.ccsid; });
  return all;
}

#endif
