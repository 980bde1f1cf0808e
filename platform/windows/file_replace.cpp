#include "platform/file_replace.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

namespace kvt::platform {

namespace {

std::atomic<unsigned> temporaryCounter{0};

bool resolveTarget(const std::string& path, std::filesystem::path& target) {
  std::error_code error;
  target = std::filesystem::u8path(path);
  if (!std::filesystem::is_symlink(target, error)) return true;
  target = std::filesystem::weakly_canonical(target, error);
  return !error;
}

// Creates a new file beside `target` that no other writer uses; INVALID_HANDLE_VALUE when none
// can be made.
HANDLE createTemporary(const std::filesystem::path& target, std::wstring& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target.wstring() + L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"." +
                std::to_wstring(temporaryCounter++);
    const HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, std::string_view content) {
  while (!content.empty()) {
    const DWORD chunk =
        content.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(content.size());
    DWORD written = 0;
    if (!::WriteFile(file, content.data(), chunk, &written, nullptr) || written == 0) return false;
    content.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view content) {
  std::filesystem::path target;
  if (!resolveTarget(path, target)) return false;
  // The read-only attribute is the part of a file's mode Windows keeps with the file.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  std::wstring temporary;
  const HANDLE file = createTemporary(target, temporary);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = writeAll(file, content) && ::FlushFileBuffers(file) != 0;
  if (::CloseHandle(file) == 0) ok = false;
  if (ok && attributes != INVALID_FILE_ATTRIBUTES) {
    const DWORD kept = (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? FILE_ATTRIBUTE_READONLY
                                                                   : FILE_ATTRIBUTE_NORMAL;
    ok = ::SetFileAttributesW(temporary.c_str(), kept) != 0;
  }
  // MOVEFILE_WRITE_THROUGH returns only once the move is on the disk, which stands in for
  // flushing the folder.
  if (ok) {
    ok = ::MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) ::DeleteFileW(temporary.c_str());
  return ok;
}

}  // namespace kvt::platform
