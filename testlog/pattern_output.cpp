#include "testlog/pattern_output.h"

#include <algorithm>
#include <vector>

#include "platform/wait_notice.h"

namespace kvt::testlog {

namespace {

constexpr size_t kFileBuffer = 64 * 1024;

// Never destroyed: an output may outlive the statics of this file at exit.
std::mutex& registryMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

std::vector<PatternOutput*>& registry() {
  static auto* outputs = new std::vector<PatternOutput*>;
  return *outputs;
}

}  // namespace

PatternOutput::PatternOutput() {
  platform::AddWaitNotice(&FlushPatternOutputs);
  std::lock_guard lock(registryMutex());
  registry().push_back(this);
}

PatternOutput::~PatternOutput() {
  std::lock_guard lock(registryMutex());
  std::erase(registry(), this);
}

bool PatternOutput::openLocked(const std::string& path) {
  if (file_ && path == path_) return true;
  file_.reset();
  path_ = path;
  file_ = OpenForAppend(path);
  if (file_) std::setvbuf(file_.get(), nullptr, _IOFBF, kFileBuffer);
  return file_ != nullptr;
}

bool PatternOutput::available(const std::string& path) {
  std::lock_guard lock(mutex_);
  return openLocked(path);
}

bool PatternOutput::append(const std::string& path, std::string_view text) {
  std::lock_guard lock(mutex_);
  if (!openLocked(path)) return false;
  Write(file_.get(), text);
  return true;
}

const std::optional<Template>& PatternOutput::findTemplate(const std::string& inputPath,
                                                           Operation operation,
                                                           std::string_view name) {
  std::lock_guard lock(mutex_);
  if (inputPath != templateFolder_) {
    templateFolder_ = inputPath;
    looked_ = {};
    templates_ = {};
  }
  const auto index = static_cast<size_t>(operation);
  if (!looked_[index]) {
    looked_[index] = true;
    std::string path = TemplatePath(inputPath, name);
    if (std::optional<std::string> text = ReadTemplate(path)) {
      templates_[index] = Template{std::move(path), std::move(*text)};
    }
  }
  return templates_[index];
}

void PatternOutput::flush() {
  std::lock_guard lock(mutex_);
  if (file_) std::fflush(file_.get());
}

void FlushPatternOutputs() {
  std::lock_guard lock(registryMutex());
  for (PatternOutput* output : registry()) output->flush();
}

}  // namespace kvt::testlog
