#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <system_error>

#include "base/Log.h"

namespace kelmo {

namespace {

constexpr int kMaxLinkHops = 8;

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

FileResult SystemError(int error) {
  return FileResult::Failed(FileErrorKind::System, std::strerror(error));
}

const char* KindOfFile(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder, not a file";
  if (S_ISFIFO(mode)) return "it is a named pipe, not a file";
  if (S_ISSOCK(mode)) return "it is a socket, not a file";
  return "it is a device, not a file";
}

FileResult Log(const char* what, const std::filesystem::path& path, FileResult result) {
  if (!result) LogWarning("files", "%s %s refused: %s", what, path.c_str(), result.reason.c_str());
  return result;
}

// Where `path` leads: itself when it is no link, else the end of its chain of links when every
// link and the file at the end belong to this user. `exists` tells whether a file is there.
FileResult FollowOwnLinks(const std::filesystem::path& path, std::filesystem::path& target,
                          bool& exists) {
  const uid_t me = ::geteuid();
  target = path;
  for (int hop = 0;; ++hop) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0) {
      if (errno != ENOENT) return SystemError(errno);
      exists = false;
      if (hop == 0) return {};
      // A link into nothing would create a file wherever it points.
      return FileResult::Failed(
          FileErrorKind::ForeignLink,
          "it is a symbolic link to " + target.string() + ", which does not exist");
    }
    exists = true;
    if (!S_ISLNK(info.st_mode)) {
      if (hop > 0 && info.st_uid != me)
        return FileResult::Failed(
            FileErrorKind::ForeignLink,
            "it is a symbolic link to " + target.string() + ", which belongs to another user");
      return {};
    }
    if (info.st_uid != me)
      return FileResult::Failed(FileErrorKind::ForeignLink,
                                "it is a symbolic link that belongs to another user");
    if (hop == kMaxLinkHops)
      return FileResult::Failed(FileErrorKind::ForeignLink, "it is a loop of symbolic links");
    std::error_code error;
    const std::filesystem::path next = std::filesystem::read_symlink(target, error);
    if (error) return SystemError(error.value());
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
}

// A name beside `path` that nothing holds yet, opened for writing; -1 and errno on failure.
int CreateTemporaryBeside(const std::filesystem::path& path, std::string& name) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char random[8] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return -1;
    name = path.string() + ".tmp-";
    for (unsigned char r : random) name += kLetters[r % (sizeof kLetters - 1)];
    // 0666 lets the umask decide a new file's permissions, as for any file the user makes.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Everything left to read from `fd`, at most `limit` bytes; nullopt and errno on a read error,
// or EFBIG when there is more.
std::optional<std::string> ReadDescriptor(int fd, std::size_t limit) {
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) return bytes;
    if (static_cast<std::size_t>(n) > limit - bytes.size()) {
      errno = EFBIG;
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace

FileContents ReadRegularFile(const std::filesystem::path& path, std::size_t limit) {
  FileContents contents;
  std::filesystem::path target;
  bool exists = false;
  contents.result = Log("reading", path, FollowOwnLinks(path, target, exists));
  if (!contents.result) return contents;
  if (!exists) {
    contents.missing = true;
    return contents;
  }
  // O_NONBLOCK: a named pipe must not hold the program until some writer comes.
  const int fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    contents.result = Log("reading", path, SystemError(errno));
    return contents;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    contents.result = SystemError(errno);
  } else if (!S_ISREG(info.st_mode)) {
    contents.result = FileResult::Failed(FileErrorKind::NotRegular, KindOfFile(info.st_mode));
  } else if (static_cast<uint64_t>(info.st_size) > limit) {
    contents.result =
        FileResult::Failed(FileErrorKind::TooLarge,
                           "it is " + std::to_string(info.st_size) + " bytes long, more than " +
                               std::to_string(limit) + " bytes can be right");
  } else if (auto bytes = ReadDescriptor(fd, limit)) {
    contents.bytes = std::move(*bytes);
  } else {
    contents.result = errno == EFBIG
                          ? FileResult::Failed(FileErrorKind::TooLarge, "it kept growing")
                          : SystemError(errno);
  }
  ::close(fd);
  contents.result = Log("reading", path, std::move(contents.result));
  return contents;
}

FileResult ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::path target;
  bool exists = false;
  FileResult followed = FollowOwnLinks(path, target, exists);
  if (!followed) return Log("writing", path, std::move(followed));

  struct stat info {};
  if (exists && ::stat(target.c_str(), &info) != 0) return Log("writing", path, SystemError(errno));
  if (exists && !S_ISREG(info.st_mode))
    return Log("writing", path,
               FileResult::Failed(FileErrorKind::NotRegular, KindOfFile(info.st_mode)));
  // Renaming over another user's file would take it from them (as root it changes its owner).
  if (exists && info.st_uid != ::geteuid())
    return Log("writing", path,
               FileResult::Failed(FileErrorKind::ForeignFile, "it belongs to another user"));
  // Root could write it anyway; a file its owner made read-only is not replaced behind their back.
  if (exists && (info.st_mode & S_IWUSR) == 0)
    return Log("writing", path, FileResult::Failed(FileErrorKind::ReadOnly, "it is read-only"));

  std::error_code error;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), error);
  std::string temp;
  const int fd = CreateTemporaryBeside(target, temp);
  if (fd < 0) return Log("writing", path, SystemError(errno));
  bool written = !exists || ::fchmod(fd, info.st_mode & 07777) == 0;
  written = written && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int failure = written ? 0 : (errno != 0 ? errno : EIO);
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && std::rename(temp.c_str(), target.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temp.c_str());
    return Log("writing", path, SystemError(failure));
  }
  return {};
}

KeptCopy KeepDamagedCopy(const std::filesystem::path& path, std::string_view bytes) {
  KeptCopy copy;
  for (int n = 0;; ++n) {
    copy.path = path.string() + ".bad" + (n == 0 ? "" : "." + std::to_string(n));
    struct stat info {};
    if (::lstat(copy.path.c_str(), &info) != 0) break;
    const FileContents existing = ReadRegularFile(copy.path);
    copy.before = existing.result && existing.bytes == bytes;
    if (copy.before) return copy;
  }
  copy.result = ReplaceFileContents(copy.path, bytes);
  return copy;
}

}  // namespace kelmo
