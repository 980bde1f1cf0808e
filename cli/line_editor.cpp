#include "cli/line_editor.h"

#include <algorithm>
#include <cctype>
#include <istream>

#include "cli/shell_interrupt.h"

#if defined(KVT_HAVE_LIBEDIT)
#include <histedit.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cwchar>
#endif

namespace kvt::cli {

namespace {
char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool startsWithIgnoringCase(const std::string& word, const std::string& prefix) {
  if (word.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), word.begin(),
                    [](char a, char b) { return upper(a) == upper(b); });
}
}  // namespace

Completion Complete(const std::string& prefix, const std::vector<std::string>& words) {
  Completion completion;
  for (const std::string& word : words) {
    if (startsWithIgnoringCase(word, prefix)) completion.matches.push_back(word);
  }
  if (completion.matches.empty()) return completion;
  completion.common = completion.matches.front();
  for (const std::string& match : completion.matches) {
    std::size_t same = 0;
    while (same < completion.common.size() && same < match.size() &&
           upper(completion.common[same]) == upper(match[same])) {
      ++same;
    }
    completion.common.resize(same);
  }
  return completion;
}

#if defined(KVT_HAVE_LIBEDIT)

// libedit on the terminal: emacs key bindings; Up/Down (and Ctrl-P/Ctrl-N) replace the line
// with the entry the main window's history rules choose. Characters are read by our own
// function, so Ctrl-C (a signal) can end the line being typed.
struct LineEditor::Terminal {
  explicit Terminal(LineEditor& owner) : owner(owner) {
    editor = el_init("kvt-cli", stdin, stderr, stderr);
    if (editor == nullptr) return;
    el_set(editor, EL_CLIENTDATA, this);
    el_set(editor, EL_EDITOR, "emacs");
    el_set(editor, EL_PROMPT, &Terminal::prompt);
    el_set(editor, EL_GETCFN, &Terminal::readCharacter);
    el_set(editor, EL_ADDFN, "kvt-history-up", "previous command", &Terminal::up);
    el_set(editor, EL_ADDFN, "kvt-history-down", "next command", &Terminal::down);
    el_set(editor, EL_ADDFN, "kvt-complete", "complete a command", &Terminal::complete);
    for (const char* key : {"\033[A", "\033OA", "^P"}) {
      el_set(editor, EL_BIND, key, "kvt-history-up", nullptr);
    }
    for (const char* key : {"\033[B", "\033OB", "^N"}) {
      el_set(editor, EL_BIND, key, "kvt-history-down", nullptr);
    }
    el_set(editor, EL_BIND, "^I", "kvt-complete", nullptr);
  }
  ~Terminal() {
    if (editor != nullptr) el_end(editor);
  }

  static Terminal* of(EditLine* editor) {
    Terminal* self = nullptr;
    el_get(editor, EL_CLIENTDATA, &self);
    return self;
  }

  static char* prompt(EditLine*) { return const_cast<char*>("kvt> "); }
  static unsigned char up(EditLine* editor, int) { return show(editor, platform::Key::Up); }
  static unsigned char down(EditLine* editor, int) { return show(editor, platform::Key::Down); }

  static void replaceLine(EditLine* editor, const std::string& text) {
    const LineInfo* line = el_line(editor);
    el_cursor(editor, static_cast<int>(line->lastchar - line->cursor));
    el_deletestr(editor, static_cast<int>(line->lastchar - line->buffer));
    el_insertstr(editor, text.c_str());
  }

  static unsigned char show(EditLine* editor, platform::Key key) {
    Terminal* self = of(editor);
    if (self == nullptr || !self->owner.browse_) return CC_NORM;
    const std::optional<std::string> entry = self->owner.browse_(key);
    if (!entry) return CC_REFRESH_BEEP;
    replaceLine(editor, *entry);
    return CC_REDISPLAY;
  }

  // Tab: the word before the cursor grows to what all its completions share; when that adds
  // nothing and several remain, they are listed under the line.
  static unsigned char complete(EditLine* editor, int) {
    Terminal* self = of(editor);
    if (self == nullptr || !self->owner.words_) return CC_NORM;
    const LineInfo* line = el_line(editor);
    const char* start = line->cursor;
    while (start > line->buffer && start[-1] != ' ' && start[-1] != '\t') --start;
    const std::string prefix(start, line->cursor);
    const Completion completion = Complete(prefix, self->owner.words_());
    if (completion.matches.empty()) return CC_REFRESH_BEEP;
    if (completion.common.size() > prefix.size() || completion.matches.size() == 1) {
      el_deletestr(editor, static_cast<int>(prefix.size()));
      std::string text = completion.common;
      if (completion.matches.size() == 1) text += ' ';
      el_insertstr(editor, text.c_str());
      return CC_REFRESH;
    }
    std::fputs("\n", stderr);
    for (const std::string& match : completion.matches) std::fprintf(stderr, "%s  ", match.c_str());
    std::fputs("\n", stderr);
    return CC_REDISPLAY;
  }

  // One character from the terminal, or a line feed on an empty line when Ctrl-C came.
  static int readCharacter(EditLine* editor, wchar_t* character) {
    Terminal* self = of(editor);
    std::mbstate_t state{};
    for (;;) {
      pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {ShellInterrupt::fd(), POLLIN, 0}};
      if (poll(fds, fds[1].fd >= 0 ? 2 : 1, -1) < 0) continue;  // EINTR: look again
      if (fds[1].fd >= 0 && (fds[1].revents & POLLIN) != 0 && ShellInterrupt::take()) {
        self->interrupted = true;
        const LineInfo* line = el_line(editor);
        el_cursor(editor, static_cast<int>(line->lastchar - line->cursor));
        el_deletestr(editor, static_cast<int>(line->lastchar - line->buffer));
        *character = L'\n';
        return 1;
      }
      if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      char byte = 0;
      const ssize_t count = ::read(STDIN_FILENO, &byte, 1);
      if (count == 0) return 0;
      if (count < 0) continue;
      const std::size_t used = std::mbrtowc(character, &byte, 1, &state);
      if (used == static_cast<std::size_t>(-2)) continue;  // more bytes of one character
      if (used == static_cast<std::size_t>(-1)) {
        state = {};
        continue;
      }
      return 1;
    }
  }

  LineEditor& owner;
  EditLine* editor = nullptr;
  bool interrupted = false;
};

bool LineEditor::editing() const { return terminal_ != nullptr && terminal_->editor != nullptr; }

LineEditor::LineEditor(std::istream& in, bool interactive, Browse browse, Words words)
    : in_(in), browse_(std::move(browse)), words_(std::move(words)) {
  if (interactive) terminal_ = std::make_unique<Terminal>(*this);
}

bool LineEditor::read(std::string& line, bool& interrupted) {
  interrupted = false;
  if (!editing()) return static_cast<bool>(std::getline(in_, line));
  terminal_->interrupted = false;
  int count = 0;
  const char* text = el_gets(terminal_->editor, &count);
  if (text == nullptr || count <= 0) {
    std::fputs("\n", stderr);  // the prompt's line ends before the shell does
    return false;
  }
  line.assign(text, static_cast<size_t>(count));
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  interrupted = terminal_->interrupted;
  return true;
}

void LineEditor::prefill(const std::string& text) {
  if (editing() && !text.empty()) el_push(terminal_->editor, text.c_str());
}

#else

struct LineEditor::Terminal {};

bool LineEditor::editing() const { return false; }

LineEditor::LineEditor(std::istream& in, bool, Browse browse, Words words)
    : in_(in), browse_(std::move(browse)), words_(std::move(words)) {}

bool LineEditor::read(std::string& line, bool& interrupted) {
  interrupted = false;
  return static_cast<bool>(std::getline(in_, line));
}

void LineEditor::prefill(const std::string&) {}

#endif

LineEditor::~LineEditor() = default;

}  // namespace kvt::cli
