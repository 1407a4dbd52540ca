// Arbitrary usage texts and argument vectors through the usage cursor, the usage
// display and the argument cursors. The input is the usage text, then the arguments,
// separated by zero bytes. Each text lives in a heap block of exactly its size, so a
// read past a terminator is an ASan report.
#include <vrnqel43.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

constexpr std::size_t kMaxArguments = 32;

void check(bool condition) {
  if (!condition) std::abort();
}

char* copyText(const std::uint8_t* data, std::size_t length) {
  char* text = static_cast<char*>(std::malloc(length + 1));
  std::memcpy(text, data, length);
  text[length] = '\0';
  return text;
}

// Every item lies inside the text, there are no more items than characters, and the
// walk ends on the terminator.
void walkUsage(const char* usage, std::size_t length, const std::vector<char*>& arguments) {
  QelClUsageCursor cursor(usage);
  std::size_t steps = 0;
  for (bool onItem = cursor.setToFirst(); onItem; onItem = cursor.setToNext()) {
    check(++steps <= length);
    const char* item = cursor.getAsCString();
    check(item >= usage && item < usage + length && cursor.isValid());
    check(!cursor.reqArgEllipsis() || cursor.reqArg());
    check(cursor.matches(item));
    check(!cursor.isSwitch() || cursor.matchesSwitch(item));
    for (const char* argument : arguments) {
      cursor.matchesSwitch(argument);
      cursor.matches(argument);
    }
  }
  check(cursor.getAsCString() == usage + length);
}

// The display writes each character at most once, plus the indentation after each
// line break and one closing line end.
void display(const char* usage, std::size_t length) {
  for (const bool usageMode : {false, true}) {
    for (const bool hide : {false, true}) {
      std::ostringstream out;
      QelClUsageCursor::display(out, usage, 3, usageMode, hide);
      check(out.str().size() <= 4 * length + 1);
    }
  }
}

void walkArguments(int argc, const char* const* argv, const char* usage) {
  QelClArgvCheckCursor cursor(argc, argv, usage);
  std::size_t freeCount = 0;
  int steps = 0;
  for (bool on = cursor.setToFirst(); on; on = cursor.setToNext()) {
    check(++steps < argc);
    const char* argument = cursor.getAsCString();
    check(argument != nullptr);
    check(cursor.isFree() == (!cursor.isSwitch() && !cursor.isBound()));
    check(!cursor.isBound() || cursor.isLegal());
    check(!cursor.reqArg() || cursor.isSwitch());
    check(!cursor.hasArg() || cursor.isSwitch());
    cursor.isTagged();
    if (cursor.isFree()) ++freeCount;
    QelClArgvCursor finder(argc, argv);
    check(!cursor.isSwitch() || (finder.positionTo(argument) && finder.matches(argument)));
  }

  QelClArgvFreeCursor forward(argc, argv, usage);
  std::vector<const char*> visited;
  for (bool on = forward.setToFirst(); on; on = forward.setToNext()) {
    check(visited.size() < freeCount && forward.isFree());
    visited.push_back(forward.getAsCString());
  }
  check(visited.size() == freeCount);
  QelClArgvFreeCursor backward(argc, argv, usage);
  for (bool on = backward.setToLast(); on; on = backward.setToPrevious()) {
    check(!visited.empty() && visited.back() == backward.getAsCString());
    visited.pop_back();
  }
  check(visited.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<char*> texts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= size && texts.size() <= kMaxArguments; ++i) {
    if (i == size || data[i] == 0) {
      texts.push_back(copyText(data + start, i - start));
      start = i + 1;
    }
  }
  char* usage = texts.front();
  const std::size_t length = std::strlen(usage);
  // argv: the program name and the arguments, exactly as many pointers as argc
  const std::vector<char*> arguments(texts.begin() + 1, texts.end());
  const int argc = static_cast<int>(texts.size());
  const char** argv = static_cast<const char**>(std::malloc(sizeof(char*) * texts.size()));
  argv[0] = "fuzz";
  for (std::size_t i = 1; i < texts.size(); ++i) argv[i] = texts[i];

  walkUsage(usage, length, arguments);
  display(usage, length);
  walkArguments(argc, argv, usage);

  std::free(argv);
  for (char* text : texts) std::free(text);
  return 0;
}
