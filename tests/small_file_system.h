// A small tmpfs that a test mounts in its working directory for the length of its
// life, so that a writer that fills it fills nothing else; unmounted and removed again
// however the test ends. Mounting needs root: where it fails, isMounted() is false.
#ifndef VRNQEL43_TESTS_SMALL_FILE_SYSTEM_H
#define VRNQEL43_TESTS_SMALL_FILE_SYSTEM_H

#include <filesystem>
#include <string>

#include <sys/mount.h>

class SmallFileSystem {
public:
  // size as mount takes it, "64k" for example.
  SmallFileSystem(const std::string& directory, const std::string& size) : path(directory) {
    std::filesystem::create_directory(path);
    mounted = mount("tmpfs", path.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;
  ~SmallFileSystem() {
    if (mounted) umount(path.c_str());
    std::filesystem::remove_all(path);
  }

  bool isMounted() const { return mounted; }
  std::string operator/(const std::string& name) const { return path + "/" + name; }

private:
  std::string path;
  bool mounted = false;
};

#endif
