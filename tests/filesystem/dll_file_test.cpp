// Loadable modules: the test module built next to the test program, a missing module,
// a file that is no module, and the opaque-handle interface.
#include "scratch_directory.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kModule = "qel_test_module";
constexpr const char* kProcedure = "qelTestModuleAnswer";
using DllFileOnDisk = ScratchDirectory;

}  // namespace

// A bare name gets the default type and is searched for; a name with a directory is not.
TEST(DllFile, LoadsTheModuleAndItsProcedures) {
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
  const std::string path = module.getAsCString();
  EXPECT_EQ(fs::path(path).filename(), kModule + std::string(QelClDllFile::getDefaultFileType()));
  const QelPfuProcedure answer = module.getProcedure(kProcedure);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(module.getProcedure("qelNoSuchProcedure"), nullptr);

  const QelClDllProcLoaderFile again{QelClFilename(path.c_str())};
  ASSERT_TRUE(again.isLoaded());
  EXPECT_FALSE(again.isFoundInSystemPath());
  EXPECT_EQ(again.getAsCString(), path);
}

TEST_F(DllFileOnDisk, FailedLoadsLeaveThePlatformErrorCode) {
  const QelClDllProcLoaderFile missing{QelClFilename("qel_no_such_module")};
  EXPECT_FALSE(missing.isLoaded());
  EXPECT_FALSE(missing.isFoundInSystemPath());
#ifdef _WIN32
  expectError(missing, 126u, QelEnErrorClass::RESOURCE_MISSING);  // ERROR_MOD_NOT_FOUND
#else
  expectError(missing, 2u, QelEnErrorClass::RESOURCE_MISSING);  // ENOENT
#endif
  EXPECT_EQ(missing.getProcedure(kProcedure), nullptr);

  const std::string text = rootText + "text" + QelClDllFile::getDefaultFileType();
  makeFile(text, "not a module\n");
  const QelClDllFile broken{QelClFilename(text.c_str())};
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
