#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Messages.h"

namespace kelmo {

// A whole file held in memory as a byte image, edited in place and written back over the file.
// The file is open only for the moment of one read or write. Every accessor stays inside the
// image: a read past its end gives nullopt, an edit past it is clamped. User-interface thread.
class FileImage {
 public:
  FileImage(std::filesystem::path directory, Messages& messages)
      : messages(messages), directory(std::move(directory)) {}
  virtual ~FileImage() = default;

  FileImage(const FileImage&) = delete;
  FileImage& operator=(const FileImage&) = delete;

  // Reads `fileName` in the directory whole (a regular file of a few MiB at most); a missing or
  // empty file becomes 8 zero bytes. When the file cannot be read, shows "¡No logré abrir <path>!"
  // with the reason (caption "ERROR") and holds no image. True when an image is held.
  bool ReadWholeFile(const std::string& fileName);

  // Writes the image over the start of the file and releases it. A file longer than the image
  // keeps its old tail behind it. The file is written only when its bytes change (a file missing
  // when it was read is created), and replaced safely (a failed write leaves it as it was).
  // Without an image nothing is written. When the file is gone since it was read or cannot be
  // written, shows the open-failure message with the reason and keeps the image. True when the
  // file holds the image.
  bool WriteBack();

  void ReleaseImage();

  // Moves the bytes from `offset` to the end up by `n`; the caller fills the gap.
  void InsertGap(std::size_t offset, std::size_t n);
  // Moves the bytes after `offset` + `n` down to `offset` and shrinks the image by `n`.
  void RemoveBytes(std::size_t offset, std::size_t n);
  // The little-endian 32-bit value at `offset`.
  std::optional<uint32_t> GetU32(std::size_t offset) const;
  // The `n` bytes at `offset`.
  std::optional<std::string> GetString(std::size_t offset, std::size_t n) const;
  void InsertU32(std::size_t offset, uint32_t value);
  // Inserts the text's bytes, without a terminator.
  void InsertString(std::size_t offset, std::string_view text);

  // Holds `bytes` as the image, as if they had been read from the file.
  void SetImage(std::vector<uint8_t> bytes);

  bool HasImage() const { return hasImage; }
  std::size_t ImageLength() const { return image.size(); }
  const std::vector<uint8_t>& Image() const { return image; }
  // The full path of the file, set by ReadWholeFile.
  const std::filesystem::path& Path() const { return path; }
  // The size of the file as read.
  uint64_t FileSize() const { return fileSize; }

 protected:
  // Shows the open-failure message for the file, with what went wrong.
  void ReportOpenFailure(const std::string& reason);
  // Sets whether WriteBack may write (a damaged file whose copy could not be kept must not be).
  void BlockWriteBack(bool blocked) { writeBlocked = blocked; }

  Messages& messages;

 private:
  const std::filesystem::path directory;
  std::filesystem::path path;
  uint64_t fileSize = 0;
  std::vector<uint8_t> image;
  bool hasImage = false;
  bool existed = false;  // the file was there when it was read
  bool writeBlocked = false;
};

}  // namespace kelmo
