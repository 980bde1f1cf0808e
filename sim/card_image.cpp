#include "sim/card_image.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "chip/crc_a.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kvt::sim {

namespace {
constexpr uint8_t kCascadeTag = 0x88;

std::string hexBytes(std::span<const uint8_t> bytes) {
  std::string text;
  char digits[4];
  for (uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, "%s%02X", text.empty() ? "" : " ", b);
    text += digits;
  }
  return text;
}

// The UID size block 0 announces: the first of 4, 7 and 10 bytes whose ATQA, lying behind the
// UID and its BCC and SAK, gives that size in bits 7..6. 0 when none does.
size_t uidSizeOf(const KorvexMemory::Block& block0) {
  constexpr size_t kSizes[] = {4, 7, 10};
  for (size_t level = 0; level < 3; ++level) {
    if (block0[kSizes[level] + 2] >> 6 == level) return kSizes[level];
  }
  return 0;
}

// Writes `content` to a new file of a unique name beside `path`, flushes it and renames it over
// `path`, so the file is the old one or the new one, never a part. A link keeps leading to the
// file it names, which is replaced; an existing file keeps its permissions.
bool replaceFileContent(const std::string& path, const std::string& content) {
  std::error_code ec;
  std::filesystem::path target = path;
  if (std::filesystem::is_symlink(target, ec)) target = std::filesystem::canonical(target, ec);
  if (ec) return false;
  static std::atomic<unsigned> counter{0};
#ifndef _WIN32
  struct stat original {};
  const bool existed = ::stat(target.c_str(), &original) == 0;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = target.string() + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = true;
  for (size_t done = 0; ok && done < content.size();) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  if (ok && existed) ok = ::fchmod(fd, original.st_mode & 07777) == 0;
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
#else
  const std::filesystem::path temp = target.string() + ".tmp" + std::to_string(counter++);
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      out.close();
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::filesystem::rename(temp, target, ec);
  if (ec) std::filesystem::remove(temp, ec);
  return !ec;
#endif
}
}  // namespace

std::optional<CardImage> parseCardImage(std::span<const uint8_t> bytes, std::string& error) {
  if (bytes.size() != kCardImageSize) {
    error = "has " + std::to_string(bytes.size()) +
            " bytes; a 1K card image has 1024 (64 blocks of 16 bytes)";
    return std::nullopt;
  }
  std::array<KorvexMemory::Block, KorvexMemory::kBlocks> blocks;
  for (size_t i = 0; i < blocks.size(); ++i) {
    std::copy_n(bytes.begin() + i * KorvexMemory::kBlockSize, KorvexMemory::kBlockSize,
                blocks[i].begin());
  }
  const KorvexMemory::Block& block0 = blocks[0];
  const size_t size = uidSizeOf(block0);
  if (size == 0) {
    error = "block 0 (" + hexBytes(block0) + ") holds no ATQA that gives a UID of 4, 7 or 10 bytes";
    return std::nullopt;
  }
  CardImage image;
  image.uid.assign(block0.begin(), block0.begin() + size);
  const uint8_t* lastLevel = block0.data() + size - 4;
  const uint8_t check = chip::bcc(lastLevel);
  if (block0[size] != check) {
    char found[64];
    std::snprintf(found, sizeof found, "the check byte (BCC) %02X should be %02X", block0[size],
                  check);
    error = "block 0: " + std::string(found) + " for the UID " + hexBytes(image.uid);
    return std::nullopt;
  }
  if (lastLevel[0] == kCascadeTag) {
    error = "block 0: the UID " + hexBytes(image.uid) +
            " has the cascade tag 88 where its last level starts";
    return std::nullopt;
  }
  image.sak = block0[size + 1];
  image.atqa = {block0[size + 2], block0[size + 3]};
  image.memory = KorvexMemory(blocks);
  return image;
}

std::optional<CardImage> loadCardImage(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot be read: " + std::strerror(errno);
    return std::nullopt;
  }
  // One byte more than an image, so a longer file is told apart without reading all of it.
  std::vector<uint8_t> bytes(kCardImageSize + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) {
    error = path + ": cannot be read";
    return std::nullopt;
  }
  bytes.resize(static_cast<size_t>(in.gcount()));
  std::string reason;
  auto image = parseCardImage(bytes, reason);
  if (!image) {
    std::error_code ec;
    const auto fileSize = std::filesystem::file_size(path, ec);
    if (!ec && fileSize > kCardImageSize) {
      reason = "has " + std::to_string(fileSize) +
               " bytes; a 1K card image has 1024 (64 blocks of 16 bytes)";
    }
    error = path + ": " + reason;
  }
  return image;
}

std::vector<uint8_t> cardImageBytes(const KorvexMemory& memory) {
  std::vector<uint8_t> bytes;
  bytes.reserve(kCardImageSize);
  for (const auto& block : memory.blocks()) bytes.insert(bytes.end(), block.begin(), block.end());
  return bytes;
}

bool saveCardImage(const std::string& path, const KorvexMemory& memory, std::string& error) {
  const auto bytes = cardImageBytes(memory);
  if (replaceFileContent(path, std::string(bytes.begin(), bytes.end()))) return true;
  error = path + ": the card image could not be written; the file is as it was";
  return false;
}

}  // namespace kvt::sim
