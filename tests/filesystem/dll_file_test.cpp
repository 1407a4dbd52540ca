// Loadable modules: the test module built next to the test program, a missing module,
// and the opaque-handle interface.
#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* kModule = "qel_test_module";
constexpr const char* kProcedure = "qelTestModuleAnswer";

}  // namespace

TEST(DllFile, BareNameGetsTheDefaultTypeAndLoads) {
#ifdef _WIN32
  EXPECT_STREQ(QelClDllFile::getDefaultFileType(), ".DLL");
#else
  EXPECT_STREQ(QelClDllFile::getDefaultFileType(), ".so");
#endif
  EXPECT_STREQ(QelClDllFile::getSystemPathEnvironmentVariable(), "PATH");

  const QelClDllProcLoaderFile module{QelClFilename(kModule)};
  ASSERT_TRUE(module.isLoaded()) << module.getAsCString() << " " << module.getError().ulErrorId;
  EXPECT_TRUE(module.isFoundInSystemPath());
  EXPECT_EQ(module.getError().ulErrorId, NO_ERROR);
  const std::string name = fs::path(module.getAsCString()).filename().string();
  EXPECT_EQ(name, std::string(kModule) + QelClDllFile::getDefaultFileType());

  const QelPfuProcedure answer = module.getProcedure(kProcedure);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(module.getProcedure("qelNoSuchProcedure"), nullptr);
}

TEST(DllFile, NameWithDirectoryIsLoadedWithoutSearch) {
  const std::string path = QelClDllFile(QelClFilename(kModule)).getAsCString();
  const QelClDllProcLoaderFile module{QelClFilename(path.c_str())};
  ASSERT_TRUE(module.isLoaded());
  EXPECT_FALSE(module.isFoundInSystemPath());
  EXPECT_STREQ(module.getAsCString(), path.c_str());
}

TEST(DllFile, FailureLeavesThePlatformErrorCode) {
  const QelClDllProcLoaderFile missing{QelClFilename("qel_no_such_module")};
  EXPECT_FALSE(missing.isLoaded());
  EXPECT_FALSE(missing.isFoundInSystemPath());
#ifdef _WIN32
  EXPECT_EQ(missing.getError().ulErrorId, 126u);  // ERROR_MOD_NOT_FOUND
#else
  EXPECT_EQ(missing.getError().ulErrorId, 2u);  // ENOENT
#endif
  EXPECT_EQ(missing.getError().enErrorClass, QelEnErrorClass::RESOURCE_MISSING);
  EXPECT_EQ(missing.getProcedure(kProcedure), nullptr);

  // A file that is no module.
  const fs::path text = fs::temp_directory_path() /
                        ("qel_not_a_module_" + std::to_string(QelClProcessProperty().getProcessId()) +
                         QelClDllFile::getDefaultFileType());
  std::ofstream(text) << "not a module\n";
  const QelClDllFile broken{QelClFilename(text.string().c_str())};
  fs::remove(text);
  EXPECT_FALSE(broken.isLoaded());
  EXPECT_NE(broken.getError().ulErrorId, NO_ERROR);
  EXPECT_EQ(broken.getError().enErrorClass, QelEnErrorClass::RESOURCE_MISSING);
}

TEST(DllProcLoader, OpaqueHandleInterface) {
  EXPECT_EQ(qelDllProcLoaderOpen("qel_no_such_module"), nullptr);
  qelDllProcLoaderClose(nullptr);

  void* handle = qelDllProcLoaderOpen(kModule);
  ASSERT_NE(handle, nullptr);
  const QelPfuProcedure answer = qelDllProcLoaderGetProcedure(handle, kProcedure);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(qelDllProcLoaderGetProcedure(handle, "qelNoSuchProcedure"), nullptr);
  qelDllProcLoaderClose(handle);
}
