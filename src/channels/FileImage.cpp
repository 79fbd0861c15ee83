#include "channels/FileImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/AtomicFile.h"

namespace kelmo {

namespace {

// Reads the whole file at `path`, creating it empty when it is missing; nullopt on failure.
std::optional<std::vector<uint8_t>> ReadOrCreate(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return std::nullopt;
  const std::optional<std::string> bytes = ReadDescriptor(fd);
  ::close(fd);
  if (!bytes) return std::nullopt;
  return std::vector<uint8_t>(bytes->begin(), bytes->end());
}

}  // namespace

bool FileImage::ReadWholeFile(const std::string& fileName) {
  path = directory / fileName;
  ReleaseImage();
  auto bytes = ReadOrCreate(path);
  if (!bytes) {
    ReportOpenFailure();
    return false;
  }
  fileSize = bytes->size();
  // An empty file holds two empty lists: both counts 0.
  if (bytes->empty()) bytes->assign(8, 0);
  SetImage(std::move(*bytes));
  return true;
}

bool FileImage::WriteBack() {
  if (!hasImage) return false;
  if (writeBlocked) {
    ReleaseImage();
    return false;
  }
  struct stat info {};
  const auto old = ::stat(path.c_str(), &info) == 0 ? ReadFileBytes(path) : std::nullopt;
  if (!old) {
    ReportOpenFailure();
    return false;
  }
  // The image goes over the start of the file; a longer old file keeps its tail.
  std::string bytes(image.begin(), image.end());
  if (old->size() > bytes.size()) bytes.append(*old, bytes.size());
  if (!ReplaceFileContents(path, bytes)) {
    ReportOpenFailure();
    return false;
  }
  ReleaseImage();
  return true;
}

void FileImage::ReleaseImage() {
  image = {};
  hasImage = false;
  writeBlocked = false;
}

void FileImage::SetImage(std::vector<uint8_t> bytes) {
  image = std::move(bytes);
  hasImage = true;
  writeBlocked = false;
}

void FileImage::InsertGap(std::size_t offset, std::size_t n) {
  offset = std::min(offset, image.size());
  image.insert(image.begin() + static_cast<std::ptrdiff_t>(offset), n, uint8_t{0});
}

void FileImage::RemoveBytes(std::size_t offset, std::size_t n) {
  offset = std::min(offset, image.size());
  n = std::min(n, image.size() - offset);
  const auto first = image.begin() + static_cast<std::ptrdiff_t>(offset);
  image.erase(first, first + static_cast<std::ptrdiff_t>(n));
}

std::optional<uint32_t> FileImage::GetU32(std::size_t offset) const {
  if (offset > image.size() || image.size() - offset < 4) return std::nullopt;
  return static_cast<uint32_t>(image[offset]) | (static_cast<uint32_t>(image[offset + 1]) << 8) |
         (static_cast<uint32_t>(image[offset + 2]) << 16) |
         (static_cast<uint32_t>(image[offset + 3]) << 24);
}

std::optional<std::string> FileImage::GetString(std::size_t offset, std::size_t n) const {
  if (offset > image.size() || image.size() - offset < n) return std::nullopt;
  return std::string(image.begin() + static_cast<std::ptrdiff_t>(offset),
                     image.begin() + static_cast<std::ptrdiff_t>(offset + n));
}

void FileImage::InsertU32(std::size_t offset, uint32_t value) {
  offset = std::min(offset, image.size());
  InsertGap(offset, 4);
  for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void FileImage::InsertString(std::size_t offset, std::string_view text) {
  offset = std::min(offset, image.size());
  InsertGap(offset, text.size());
  std::copy(text.begin(), text.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

void FileImage::ReportOpenFailure() {
  Message message{"¡No logré abrir " + path.string() + "!", "ERROR"};
  messages.Show(message);
}

}  // namespace kelmo
