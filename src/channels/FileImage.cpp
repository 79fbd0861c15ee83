#include "channels/FileImage.h"

#include <algorithm>

#include "platform/AtomicFile.h"

namespace kelmo {

bool FileImage::ReadWholeFile(const std::string& fileName) {
  path = directory / fileName;
  ReleaseImage();
  FileContents contents = ReadRegularFile(path);
  if (!contents.result) {
    ReportOpenFailure(contents.result.reason);
    return false;
  }
  existed = !contents.missing;
  fileSize = contents.bytes.size();
  std::vector<uint8_t> bytes(contents.bytes.begin(), contents.bytes.end());
  // A missing or empty file holds two empty lists: both counts 0.
  if (bytes.empty()) bytes.assign(8, 0);
  SetImage(std::move(bytes));
  return true;
}

bool FileImage::WriteBack() {
  if (!hasImage) return false;
  if (writeBlocked) {
    ReleaseImage();
    return false;
  }
  const FileContents old = ReadRegularFile(path);
  if (!old.result || (existed && old.missing)) {
    ReportOpenFailure(old.result ? "it was removed while Kelmo held it" : old.result.reason);
    return false;
  }
  // The image goes over the start of the file; a longer old file keeps its tail.
  std::string bytes(image.begin(), image.end());
  if (old.bytes.size() > bytes.size()) bytes.append(old.bytes, bytes.size());
  // Only what changed is written: a file the user made read-only is still read and left alone.
  if (old.missing || bytes != old.bytes) {
    const FileResult written = ReplaceFileContents(path, bytes);
    if (!written) {
      ReportOpenFailure(written.reason);
      return false;
    }
  }
  existed = true;
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

void FileImage::ReportOpenFailure(const std::string& reason) {
  Message message{"¡No logré abrir " + path.string() + "!\n(" + reason + ")", "ERROR"};
  messages.Show(message);
}

}  // namespace kelmo
