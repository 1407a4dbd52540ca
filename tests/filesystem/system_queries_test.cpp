// The operating-system family and the mode probes of streams and descriptors.
#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

TEST(SystemQueries, OperatingSystemId) {
#ifdef _WIN32
  EXPECT_EQ(qelGetOperatingSystemId(), 512u);
#else
  EXPECT_EQ(qelGetOperatingSystemId(), 0u);
#endif
}

TEST(SystemQueries, StreamsAreBinary) {
  std::istringstream in("x");
  std::ostringstream out;
  EXPECT_TRUE(qelFileIsOpenedInBinaryMode(in));
  EXPECT_TRUE(qelFileIsOpenedInBinaryMode(out));
  EXPECT_FALSE(qelFileIsOpenedInTextMode(in));
  EXPECT_FALSE(qelFileIsOpenedInTextMode(out));
}

TEST(SystemQueries, DescriptorModes) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  const int fd = fileno(file);
#ifdef _WIN32
  // The probes leave a text descriptor in text mode.
  _setmode(fd, _O_TEXT);
  EXPECT_TRUE(qelFileIsOpenedInTextMode(fd));
  EXPECT_FALSE(qelFileIsOpenedInBinaryMode(fd));
  EXPECT_TRUE(qelFileIsOpenedInTextMode(fd));
  _setmode(fd, _O_BINARY);
#endif
  EXPECT_TRUE(qelFileIsOpenedInBinaryMode(fd));
  EXPECT_FALSE(qelFileIsOpenedInTextMode(fd));
  std::fclose(file);

  EXPECT_FALSE(qelFileIsOpenedInBinaryMode(-1));
  EXPECT_FALSE(qelFileIsOpenedInTextMode(-1));
}
