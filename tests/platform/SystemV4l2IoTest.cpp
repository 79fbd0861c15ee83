#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/videodev2.h>

#include <cerrno>
#include <fstream>

#include "platform/linux/v4l2/SystemV4l2Io.h"
#include "support/TempDir.h"

namespace kelmo::test {
namespace {

TEST(SystemV4l2IoTest, FailuresComeBackAsNegativeErrnoAndAttributesWithoutTheirNewline) {
  SystemV4l2Io io;
  EXPECT_EQ(io.Open("/dev/no-such-video-node", O_RDWR), -ENOENT);
  const int fd = io.Open("/dev/null", O_RDWR);
  ASSERT_GE(fd, 0);
  v4l2_capability cap{};
  EXPECT_EQ(io.Ioctl(fd, VIDIOC_QUERYCAP, &cap), -ENOTTY);
  EXPECT_EQ(io.Write(fd, "x", 1), 1);
  EXPECT_EQ(io.Mmap(4096, 0, 0, fd, 0), nullptr);
  EXPECT_EQ(io.Close(fd), 0);
  EXPECT_EQ(io.Close(fd), -EBADF);

  TempDir dir;
  std::ofstream(dir / "name") << "bt878 #0 [sw]\n";
  EXPECT_EQ(io.ListDirectory(dir.Path().string()), std::vector<std::string>{"name"});
  EXPECT_EQ(io.ReadTextFile((dir / "name").string()), "bt878 #0 [sw]");
  EXPECT_FALSE(io.ReadTextFile((dir / "missing").string()));
  EXPECT_TRUE(io.ListDirectory((dir / "missing").string()).empty());
}

}  // namespace
}  // namespace kelmo::test
