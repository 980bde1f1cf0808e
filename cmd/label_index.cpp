#include "cmd/label_index.h"

#include "cmd/execute_line.h"

namespace kvt::cmd {

void LabelIndex::build(ScfReader& reader) {
  if (built_) return;
  built_ = true;
  const std::uint64_t resumeAt = reader.position();
  reader.rewind();
  CommandInterpreter scratch{app::DialogContext{}};
  std::array<char, kTokenSize> label{};
  std::string piece;
  for (int32_t line = 1; reader.readLine(piece); ++line) {
    // The line end and what follows it are not part of the line, as for the runner.
    if (const auto end = piece.find_first_of("\r\n"); end != std::string::npos) piece.resize(end);
    if (ReadLabelDefinition(scratch, piece, label)) {
      places_.try_emplace(label.data(), Place{reader.position(), line});
    }
  }
  reader.seek(resumeAt);
}

std::optional<LabelIndex::Place> LabelIndex::find(const std::string& label) const {
  const auto it = places_.find(label);
  if (it == places_.end()) return std::nullopt;
  return it->second;
}

}  // namespace kvt::cmd
