// Arbitrary texts through file names, locations and directories: every object keeps
// its text terminated in its own buffer, with the parts in order inside it.
#include <vrnqel43.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// text lies in [begin, end) and is terminated there; returns its length.
std::size_t checkText(const char* text, const void* object, std::size_t size) {
  const char* begin = static_cast<const char*>(object);
  const char* end = begin + size;
  check(text >= begin && text < end);
  const void* terminator = std::memchr(text, '\0', static_cast<std::size_t>(end - text));
  check(terminator != nullptr);
  return static_cast<std::size_t>(static_cast<const char*>(terminator) - text);
}

void checkName(const QelClFilenameABase& name) {
  const char* text = name.getAsCString();
  const std::size_t length = checkText(text, &name, sizeof name);
  check(length == name.getLength() && length <= 260);
  check(name.getPathText() >= text && name.getPathText() <= text + length);
  check(name.getName() >= name.getPathText() && name.getName() <= text + length);
  check(name.getExtension() >= name.getName() && name.getExtension() <= text + length);
  check(*name.getExtension() == '\0' || *name.getExtension() == '.');

  char part[261];
  name.extractPath(part, true);
  check(std::strlen(part) <= length);
  name.extractPath(part, false);
  name.extractBaseName(part);
  check(std::strlen(part) <= length);
  name.extractServer(part);
  check(std::strlen(part) <= length);
  name.isStyleFAT_8_3();
  name.isAbsolute();
  name.hasDrive();
}

void checkLocation(const QelClLocation& location) {
  const std::size_t length = checkText(location.getAsCString(), &location, sizeof location);
  check(length == location.getLength() && length <= 261);
  const char separator = location.getPathStyle() == QelClPathProperty::UNIX_STYLE ? '/' : '\\';
  check(length == 0 || location.getAsCString()[length - 1] == separator);
  location.isRoot();
}

// Absolute, with forward slashes only, ending with one, and without empty, "." or ".."
// components; or empty.
void checkDirectory(const QelClDirectory& directory) {
  const std::string text = directory.getAsCString();
  if (text.empty()) return;
  check(text.size() <= 261 && text.front() == '/' && text.back() == '/');
  check(text.find('\\') == std::string::npos);
  check(text.find("//") == std::string::npos);
  check(text.find("/./") == std::string::npos && text.find("/../") == std::string::npos);
  check(directory.getNumOfSubDirs() + 1 == static_cast<unsigned int>(std::count(text.begin(), text.end(), '/')));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool flag = (data[0] & 1) != 0;
  const char* raw = reinterpret_cast<const char*>(data + 1);
  const std::size_t rawSize = size - 1;
  // Up to three texts, separated by zero bytes.
  std::vector<std::string> texts(3);
  std::size_t part = 0;
  for (std::size_t i = 0; i < rawSize && part < texts.size(); ++i) {
    if (raw[i] == '\0') ++part;
    else texts[part] += raw[i];
  }
  const char* first = texts[0].c_str();
  const char* second = texts[1].c_str();
  const char* third = texts[2].c_str();

  const QelClFilename whole(first);
  checkName(whole);
  const unsigned int length = static_cast<unsigned int>(std::min<std::size_t>(rawSize, 300));
  checkName(QelClFilename(raw, length));
  QelClFilename joined(first, second, flag ? third : nullptr);
  checkName(joined);
  checkName(QelClFilename(QelClLocation(first, flag), second, third));

  whole.matchesPath(joined);
  whole.matchesBase(joined);
  whole.matchesExtension(second);
  // The matcher backtracks at every star: a few keep each run short.
  if (std::count(texts[1].begin(), texts[1].end(), '*') <= 3) joined.matchesWildcardPattern(second);

  QelClFilename changed(joined);
  changed.setNewName(third);
  checkName(changed);
  changed.setNewBaseName(second);
  checkName(changed);
  changed.setNewExtension(third);
  checkName(changed);
  changed.setNewExtension(changed.getName());
  checkName(changed);
  changed.setNewPath(first);
  checkName(changed);
  changed.setNewPath(changed.getAsCString());
  checkName(changed);
  changed.setNewPath(QelClLocation(second, flag));
  checkName(changed);
  changed.setNew(QelClLocation(third), first);
  checkName(changed);
  changed.removePath();
  checkName(changed);
  changed = whole;
  checkName(changed);
  checkName(QelClBakFilename(joined));

  const QelClLocation location(first, flag);
  checkLocation(location);
  checkLocation(QelClLocation(raw, length, flag));
  checkLocation(QelClLocation(joined, flag));
  QelClLocation assigned(location);
  checkLocation(assigned);
  assigned = second;
  checkLocation(assigned);

  QelClDirectory directory(first);
  check(directory.getAsCString()[0] == '\0' ||
        directory.getError().ulErrorId != DIRECTORY_EXPANSION_FAILED);
  checkDirectory(directory);
  directory.attachSubDir(QelClLocation(second, flag));
  checkDirectory(directory);
  directory.detachLastSubDir();
  checkDirectory(directory);

  char expanded[600];
  std::strncpy(expanded, third, sizeof expanded - 1);
  expanded[sizeof expanded - 1] = '\0';
  if (QelClFileABase::expandRelativePath(expanded)) {
    check(std::strlen(expanded) <= 260 && expanded[std::strlen(expanded) - 1] == '/');
  } else {
    check(expanded[0] == '\0');
  }
  return 0;
}
