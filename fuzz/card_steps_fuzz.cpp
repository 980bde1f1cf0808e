// The card reader's steps as kvt-cli reads them from its command line (words separated by
// blanks), run on the simulated chip with its default card when they are well formed.
#include <sstream>

#include "cardreader/card_session.h"
#include "cardreader/control_ids.h"
#include "cli/card_steps.h"
#include "cli/headless_dialog_view.h"
#include "fuzz/simulated_program.h"

namespace {

constexpr std::size_t kMostSteps = 64;

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::istringstream in{std::string(text)};
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

}  // namespace

KVT_FUZZ_TARGET(card_steps) {
  if (size > 4096) return 0;
  const std::vector<std::string> words = Words(kvt::fuzz::AsText(data, size));
  std::string error;
  const auto steps = kvt::cli::ParseCardSteps(words, error);
  if (!steps || steps->size() > kMostSteps) return 0;
  kvt::fuzz::SimulatedProgram program;
  std::ostringstream out;
  kvt::cli::HeadlessDialogView window(out, kvt::cardreader::id::LogPane);
  kvt::cardreader::CardSession session;
  std::ostringstream diagnostics;
  kvt::cli::RunCardSteps(program.state(), window, session, *steps, diagnostics);
  return 0;
}
