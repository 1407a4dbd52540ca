// QelClStringSearch against glibc's memmem and strstr, and qelMatchesWildcardPattern
// against fnmatch(FNM_NOESCAPE), on English-like prose and service logs generated
// from a fixed seed.
#include <vrnqel43.h>

#include <benchmark/benchmark.h>
#include <fnmatch.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

enum class Corpus { kProse, kLog };

// A number below bound.
unsigned draw(std::mt19937& random, unsigned bound) { return static_cast<unsigned>(random() % bound); }

// Sentences of common words; "reason" and the planted words never occur.
std::string proseLine(std::mt19937& random) {
  static const char* const kWords[] = {
      "the",    "of",     "and",     "to",     "in",     "a",      "is",     "that",   "for",
      "it",     "as",     "was",     "with",   "be",     "by",     "on",     "not",    "he",
      "this",   "are",    "or",      "his",    "from",   "at",     "which",  "but",    "have",
      "an",     "had",    "they",    "you",    "were",   "their",  "one",    "all",    "we",
      "can",    "her",    "has",     "there",  "been",   "if",     "more",   "when",   "will",
      "would",  "who",    "so",      "no",     "time",   "people", "year",   "about",  "into",
      "other",  "could",  "new",     "some",   "them",   "than",   "only",   "over",   "work",
      "state",  "world",  "between", "before", "through", "country", "house", "government",
      "system", "program", "question", "during", "number", "without", "however", "water",
      "general", "problem", "against", "public", "service", "second", "important", "own",
      "under",  "should", "might",   "around", "small",  "large",  "family", "evening"};
  std::string line;
  const unsigned words = 6 + draw(random, 14);
  for (unsigned i = 0; i < words; ++i) {
    std::string word = kWords[draw(random, sizeof kWords / sizeof *kWords)];
    if (i == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
    line += word;
    line += i + 1 == words ? ".\n" : (draw(random, 9) == 0 ? ", " : " ");
  }
  return line;
}

// Service log lines; no line says "timeout", "CRITICAL" or "connection reset".
std::string logLine(std::mt19937& random, unsigned sequence) {
  static const char* const kLevels[] = {"INFO ", "INFO ", "INFO ", "DEBUG", "WARN ", "ERROR"};
  static const char* const kThreads[] = {"main", "worker-1", "worker-2", "worker-3", "db-pool",
                                         "http-7"};
  static const char* const kMessages[] = {
      "request %u served in %u ms", "cache miss for key user:%u:%u",
      "opened session %u for client 10.0.%u.17", "retrying write of block %u (attempt %u)",
      "scheduled job %u finished with status %u", "queue depth is %u, %u consumers"};
  char line[160];
  const unsigned seconds = sequence / 8;
  const int length = std::snprintf(
      line, sizeof line, "2024-03-12 %02u:%02u:%02u.%03u %s [%s] ", 8 + seconds / 3600 % 12,
      seconds / 60 % 60, seconds % 60, draw(random, 1000), kLevels[draw(random, 6)], kThreads[draw(random, 6)]);
  std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length),
                kMessages[draw(random, 6)], draw(random, 100000), draw(random, 500));
  return std::string(line) + "\n";
}

// A text of exactly size bytes, built once per corpus, size and planted phrase; the
// planted phrase ends 32 bytes before the end.
const std::string& corpus(Corpus kind, std::size_t size, const std::string& planted) {
  static std::map<std::pair<std::pair<Corpus, std::size_t>, std::string>, std::string> cache;
  std::string& text = cache[{{kind, size}, planted}];
  if (text.empty()) {
    std::mt19937 random(12345);
    for (unsigned sequence = 0; text.size() < size; ++sequence)
      text += kind == Corpus::kProse ? proseLine(random) : logLine(random, sequence);
    text.resize(size);
    if (!planted.empty()) text.replace(size - 32 - planted.size(), planted.size(), planted);
  }
  return text;
}

struct SearchCase {
  Corpus kind;
  const char* pattern;
  bool planted;
};

const SearchCase kProseNearEnd{Corpus::kProse, "perpendicular axis", true};
const SearchCase kProseAbsent8{Corpus::kProse, "gossamer", false};
const SearchCase kProseAbsent16{Corpus::kProse, "about the reason", false};
const SearchCase kLogNearEnd{Corpus::kLog, "ERROR [db-pool] connection reset", true};
const SearchCase kLogAbsent8{Corpus::kLog, "CRITICAL", false};
const SearchCase kLogAbsent16{Corpus::kLog, "timeout after 60", false};

// Runs find over the case's text; the found offset must agree with std::string::find.
template <typename Find>
void runSearch(benchmark::State& state, const SearchCase& search, Find find) {
  const std::string& text = corpus(search.kind, static_cast<std::size_t>(state.range(0)),
                                   search.planted ? search.pattern : "");
  const std::size_t expected = text.find(search.pattern);
  if (search.planted != (expected != std::string::npos)) {
    state.SkipWithError("the corpus does not hold the pattern as planned");
    return;
  }
  const char* found = nullptr;
  for (auto _ : state) {
    // Text and pattern pass the optimiser's barrier afresh, so that no search of
    // unchanged inputs can be hoisted out of the loop.
    const char* const data = text.data();
    const char* const pattern = search.pattern;
    benchmark::DoNotOptimize(data);
    benchmark::DoNotOptimize(pattern);
    found = find(data, text.size(), pattern);
    benchmark::DoNotOptimize(found);
  }
  const std::size_t offset = found == nullptr ? std::string::npos : static_cast<std::size_t>(found - text.data());
  if (offset != expected) state.SkipWithError("wrong offset");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void horspool(benchmark::State& state, const SearchCase& search) {
  const QelClStringSearch matcher(search.pattern, false);
  runSearch(state, search, [&](const char* text, std::size_t size, const char*) {
    return matcher.getPattern(text, static_cast<unsigned int>(size));
  });
}

void memmem(benchmark::State& state, const SearchCase& search) {
  const std::size_t length = std::strlen(search.pattern);
  runSearch(state, search, [&](const char* text, std::size_t size, const char* pattern) {
    return static_cast<const char*>(::memmem(text, size, pattern, length));
  });
}

void strstr(benchmark::State& state, const SearchCase& search) {
  runSearch(state, search,
            [](const char* text, std::size_t, const char* pattern) { return std::strstr(text, pattern); });
}

#define QEL_SEARCH_BENCHMARK(function, searchCase) \
  BENCHMARK_CAPTURE(function, searchCase, searchCase)->Arg(4 << 10)->Arg(64 << 10)->Arg(1 << 20)

QEL_SEARCH_BENCHMARK(horspool, kProseNearEnd);
QEL_SEARCH_BENCHMARK(memmem, kProseNearEnd);
QEL_SEARCH_BENCHMARK(strstr, kProseNearEnd);
QEL_SEARCH_BENCHMARK(horspool, kProseAbsent8);
QEL_SEARCH_BENCHMARK(memmem, kProseAbsent8);
QEL_SEARCH_BENCHMARK(strstr, kProseAbsent8);
QEL_SEARCH_BENCHMARK(horspool, kProseAbsent16);
QEL_SEARCH_BENCHMARK(memmem, kProseAbsent16);
QEL_SEARCH_BENCHMARK(strstr, kProseAbsent16);
QEL_SEARCH_BENCHMARK(horspool, kLogNearEnd);
QEL_SEARCH_BENCHMARK(memmem, kLogNearEnd);
QEL_SEARCH_BENCHMARK(strstr, kLogNearEnd);
QEL_SEARCH_BENCHMARK(horspool, kLogAbsent8);
QEL_SEARCH_BENCHMARK(memmem, kLogAbsent8);
QEL_SEARCH_BENCHMARK(strstr, kLogAbsent8);
QEL_SEARCH_BENCHMARK(horspool, kLogAbsent16);
QEL_SEARCH_BENCHMARK(memmem, kLogAbsent16);
QEL_SEARCH_BENCHMARK(strstr, kLogAbsent16);

// Wildcard matching: one pattern against every line of 64 KiB of text, or against a
// list of file names.
struct WildcardCase {
  std::vector<std::string> subjects;
  const char* pattern;
};

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    result.push_back(text.substr(start, end - start));
  return result;
}

std::vector<std::string> fileNames() {
  static const char* const kFolders[] = {"src/core", "src/net", "src/ui", "tests/core", "docs", "build/obj"};
  static const char* const kStems[] = {"main", "buffer", "socket", "window", "parser", "config_test", "README"};
  static const char* const kExtensions[] = {".cpp", ".h", ".o", ".md", ".ini", ".txt"};
  std::mt19937 random(777);
  std::vector<std::string> names;
  for (int i = 0; i < 2000; ++i) {
    names.push_back(std::string(kFolders[draw(random, 6)]) + "/" + kStems[draw(random, 7)] + "_" +
                    std::to_string(draw(random, 100)) + kExtensions[draw(random, 6)]);
  }
  return names;
}

const WildcardCase& wildcardCase(int which) {
  static const WildcardCase kCases[] = {
      {lines(corpus(Corpus::kLog, 64 << 10, "")), "*ERROR*db-pool*retrying*attempt ?)"},
      {lines(corpus(Corpus::kProse, 64 << 10, "")), "The *government* system*."},
      {fileNames(), "src/*_?.cpp"},
      {fileNames(), "*test*.ini"},
  };
  return kCases[which];
}

template <typename Match>
void runWildcards(benchmark::State& state, Match match) {
  const WildcardCase& wildcards = wildcardCase(static_cast<int>(state.range(0)));
  std::size_t matched = 0;
  for (auto _ : state) {
    matched = 0;
    const char* const pattern = wildcards.pattern;
    benchmark::DoNotOptimize(pattern);
    for (const std::string& subject : wildcards.subjects) {
      const char* const text = subject.c_str();
      benchmark::DoNotOptimize(text);
      matched += match(pattern, text);
    }
    benchmark::DoNotOptimize(matched);
  }
  state.counters["matched"] = static_cast<double>(matched);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(wildcards.subjects.size()));
}

void wildcardMatch(benchmark::State& state) {
  runWildcards(state, [](const char* pattern, const char* text) {
    return qelMatchesWildcardPattern(pattern, text, 1) != 0;
  });
}

void fnmatch(benchmark::State& state) {
  runWildcards(state, [](const char* pattern, const char* text) {
    return ::fnmatch(pattern, text, FNM_NOESCAPE) == 0;
  });
}

BENCHMARK(wildcardMatch)->DenseRange(0, 3);
BENCHMARK(fnmatch)->DenseRange(0, 3);

}  // namespace
