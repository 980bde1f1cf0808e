#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace kvt::platform {

namespace {

std::atomic<unsigned> temporaryCounter{0};

// The file a write to `path` lands in: the target of a symbolic link, else `path` itself.
bool resolveTarget(const std::string& path, std::filesystem::path& target) {
  std::error_code error;
  target = path;
  if (!std::filesystem::is_symlink(target, error)) return true;
  target = std::filesystem::weakly_canonical(target, error);
  return !error;
}

// Creates a new file beside `target` that no other writer uses; -1 when none can be made.
int createTemporary(const std::filesystem::path& target, std::string& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target.string() + ".tmp" + std::to_string(::getpid()) + "." +
                std::to_string(temporaryCounter++);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool writeAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    content.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// The rename is only durable once the folder's entry is on the disk too. A folder that cannot
// be opened or synced (some network file systems) does not undo the finished replacement.
void syncFolder(const std::filesystem::path& target) {
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view content) {
  std::filesystem::path target;
  if (!resolveTarget(path, target)) return false;
  struct stat original {};
  const bool existed = ::stat(target.c_str(), &original) == 0;
  std::string temporary;
  const int fd = createTemporary(target, temporary);
  if (fd < 0) return false;
  bool ok = writeAll(fd, content);
  if (ok && existed) ok = ::fchmod(fd, original.st_mode & 07777) == 0;
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  syncFolder(target);
  return true;
}

}  // namespace kvt::platform
