// Failing file and directory operations keep the host's reason beside their error
// record: a missing file, a missing directory, a name that is a file.
#include "tests/filesystem/scratch_directory.h"

#include <cerrno>

namespace {

using HostError = ScratchDirectory;

// An operation on the scratch directory that fails, its error record, and the host's
// code: errno on POSIX, the system error code on Windows.
struct Failure {
  const char* operation;
  std::function<std::tuple<_QelStError, std::uint32_t>()> run;
  std::uint32_t id;
  QelEnErrorClass recordClass;
  int posixCode;
  std::uint32_t windowsCode;
  QelEnErrorClass hostClass;
};

template <class Object>
std::tuple<_QelStError, std::uint32_t> outcome(const Object& object) {
  return {object.getError(), object.getHostError()};
}

QelClFile fileAt(const std::string& name) { return QelClFile(QelClFilename(name.c_str()), nullptr); }

}  // namespace

TEST_F(HostError, FailuresKeepTheHostsCode) {
  makeFile(root / "file.txt");
  makeFile(root / "full" / "inside.txt");
  const Failure failures[] = {
      {"remove a missing file",
       [&] {
         QelClFile file = fileAt(at("missing.txt"));
         EXPECT_FALSE(file.remove());
         return outcome(file);
       },
       FILE_COULD_NOT_REMOVE, QelEnErrorClass::IO_NOT_EXISTENT, ENOENT, 2, QelEnErrorClass::IO_NOT_EXISTENT},
      {"copy a missing file",
       [&] {
         QelClFile file = fileAt(at("missing.txt"));
         EXPECT_FALSE(file.copyTo(QelClFilename(at("copy.txt").c_str()), false));
         return outcome(file);
       },
       FILE_COULD_NOT_COPY, QelEnErrorClass::IO_PROBLEM, ENOENT, 2, QelEnErrorClass::IO_NOT_EXISTENT},
      {"rename onto a file",
       [&] {
         QelClFile file = fileAt(at("full/inside.txt"));
         EXPECT_FALSE(file.renameAs(QelClFilename(at("file.txt").c_str())));
         return outcome(file);
       },
       FILE_COULD_NOT_RENAME, QelEnErrorClass::IO_ALREADY_IN_USE, EEXIST, 183, QelEnErrorClass::IO_ALREADY_IN_USE},
      {"change to a missing directory",
       [&] {
         QelClDirectory directory(at("missing").c_str());
         EXPECT_FALSE(directory.setAsCurrent());
         return outcome(directory);
       },
       DIRECTORY_COULD_NOT_CHANGE, QelEnErrorClass::IO_NOT_EXISTENT, ENOENT, 2, QelEnErrorClass::IO_NOT_EXISTENT},
      {"walk a missing directory",
       [&] {
         const QelClDirectoryWalk walk(QelClLocation(at("missing").c_str()));
         EXPECT_FALSE(walk.isValid());
         return outcome(walk);
       },
       DIRWALK_COULD_NOT_INIT, QelEnErrorClass::IO_PROBLEM, ENOENT, 3, QelEnErrorClass::IO_NOT_EXISTENT},
      {"create a directory below a file",
       [&] {
         QelClDirectory directory(at("file.txt/sub").c_str());
         EXPECT_FALSE(directory.create());
         return outcome(directory);
       },
       DIRECTORY_COULD_NOT_CREATE, QelEnErrorClass::IO_NOT_EXISTENT, ENOTDIR, 3, QelEnErrorClass::IO_NOT_EXISTENT},
      {"remove a directory that holds a file",
       [&] {
         QelClDirectory directory(at("full").c_str());
         EXPECT_FALSE(directory.remove());
         return outcome(directory);
       },
       DIRECTORY_COULD_NOT_REMOVE, QelEnErrorClass::IO_INVALID_NAME, ENOTEMPTY, 145, QelEnErrorClass::IO_STILL_IN_USE},
  };
  for (const Failure& failure : failures) {
    SCOPED_TRACE(failure.operation);
    const auto [record, hostError] = failure.run();
    expectError(record, failure.id, failure.recordClass);
#ifdef _WIN32
    EXPECT_EQ(hostError, failure.windowsCode);
#else
    EXPECT_EQ(hostError, static_cast<std::uint32_t>(failure.posixCode));
#endif
    EXPECT_EQ(qelHostErrorGetClass(hostError), failure.hostClass);
  }
}

// A success clears the host's code with the record; a failure that is the library's own
// has none.
TEST_F(HostError, OnlyTheHostsFailuresHaveACode) {
  QelClFile file = fileAt(at("missing.txt"));
  EXPECT_FALSE(file.remove());
  EXPECT_NE(file.getHostError(), 0u);
  makeFile(root / "missing.txt");
  EXPECT_TRUE(file.remove());
  EXPECT_EQ(file.getHostError(), 0u);
  EXPECT_FALSE(file.copyTo(QelClLocation(rootText.c_str()), false));
  expectError(file, FILE_COULD_NOT_COPY_SELF, QelEnErrorClass::INCONSISTENT_SITUATION);
  EXPECT_EQ(file.getHostError(), 0u);

  QelClDirectory top(rootText.c_str());
  EXPECT_TRUE(top.create());
  EXPECT_EQ(top.getHostError(), 0u);
}
