// A module for the loading tests: one procedure exported under a plain name.
#if defined(_WIN32)
#define TEST_MODULE_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_MODULE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TEST_MODULE_EXPORT int qelTestModuleAnswer() { return 42; }
