#include "sim/pty_link.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <optional>

namespace kvt::sim {

namespace {

constexpr const char kPtyFolder[] = "/dev/pts/";

std::optional<std::string> linkTarget(const std::string& link) {
  char buffer[4096];
  const ssize_t length = readlink(link.c_str(), buffer, sizeof buffer - 1);
  if (length < 0) return std::nullopt;
  return std::string(buffer, static_cast<size_t>(length));
}

// A pty slave path whose pty is gone: what a kvt-sim that did not end cleanly leaves behind.
bool isVanishedPty(const std::string& target) {
  if (target.rfind(kPtyFolder, 0) != 0 || target.find("/..") != std::string::npos) return false;
  struct stat info {};
  return lstat(target.c_str(), &info) != 0 && errno == ENOENT;
}

bool makeLink(const std::string& link, const std::string& target, std::string& error) {
  if (symlink(target.c_str(), link.c_str()) == 0) return true;
  if (errno == EEXIST) {
    error = link + " was created by someone else meanwhile; not replaced";
  } else {
    error = "cannot create the link " + link + ": " + std::strerror(errno);
  }
  return false;
}

}  // namespace

bool ClaimPtyLink(const std::string& link, const std::string& target, std::string& error) {
  struct stat info {};
  if (lstat(link.c_str(), &info) != 0) {
    if (errno != ENOENT) {
      error = "cannot use the link " + link + ": " + std::strerror(errno);
      return false;
    }
    return makeLink(link, target, error);
  }
  if (!S_ISLNK(info.st_mode)) {
    error = link + " exists and is not a symbolic link; not replaced";
    return false;
  }
  const std::optional<std::string> old = linkTarget(link);
  if (!old || !isVanishedPty(*old)) {
    const std::string where = old ? *old : std::string("?");
    error = link + " already links to " + where +
            (old && old->rfind(kPtyFolder, 0) == 0 ? ", a pseudo-terminal in use" : "") +
            "; not replaced (only a link to a pseudo-terminal that is gone is)";
    return false;
  }
  if (unlink(link.c_str()) != 0 && errno != ENOENT) {
    error = "cannot replace the link " + link + ": " + std::strerror(errno);
    return false;
  }
  return makeLink(link, target, error);
}

void ReleasePtyLink(const std::string& link, const std::string& target) {
  if (linkTarget(link) == target) unlink(link.c_str());
}

}  // namespace kvt::sim
