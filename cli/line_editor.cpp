#include "cli/line_editor.h"

#include <istream>

#if defined(KVT_HAVE_LIBEDIT)
#include <histedit.h>

#include <cstdio>
#endif

namespace kvt::cli {

#if defined(KVT_HAVE_LIBEDIT)

// libedit on the terminal: emacs key bindings; Up/Down (and Ctrl-P/Ctrl-N) replace the line
// with the entry the main window's history rules choose.
struct LineEditor::Terminal {
  explicit Terminal(LineEditor& owner) : owner(owner) {
    editor = el_init("kvt-cli", stdin, stderr, stderr);
    if (editor == nullptr) return;
    el_set(editor, EL_CLIENTDATA, this);
    el_set(editor, EL_EDITOR, "emacs");
    el_set(editor, EL_PROMPT, &Terminal::prompt);
    el_set(editor, EL_ADDFN, "kvt-history-up", "previous command", &Terminal::up);
    el_set(editor, EL_ADDFN, "kvt-history-down", "next command", &Terminal::down);
    for (const char* key : {"\033[A", "\033OA", "^P"}) {
      el_set(editor, EL_BIND, key, "kvt-history-up", nullptr);
    }
    for (const char* key : {"\033[B", "\033OB", "^N"}) {
      el_set(editor, EL_BIND, key, "kvt-history-down", nullptr);
    }
  }
  ~Terminal() {
    if (editor != nullptr) el_end(editor);
  }

  static char* prompt(EditLine*) { return const_cast<char*>("kvt> "); }
  static unsigned char up(EditLine* editor, int) { return show(editor, platform::Key::Up); }
  static unsigned char down(EditLine* editor, int) { return show(editor, platform::Key::Down); }

  static unsigned char show(EditLine* editor, platform::Key key) {
    Terminal* self = nullptr;
    el_get(editor, EL_CLIENTDATA, &self);
    if (self == nullptr || !self->owner.browse_) return CC_NORM;
    const std::optional<std::string> entry = self->owner.browse_(key);
    if (!entry) return CC_REFRESH_BEEP;
    const LineInfo* line = el_line(editor);
    el_cursor(editor, static_cast<int>(line->lastchar - line->cursor));
    el_deletestr(editor, static_cast<int>(line->lastchar - line->buffer));
    el_insertstr(editor, entry->c_str());
    return CC_REDISPLAY;
  }

  LineEditor& owner;
  EditLine* editor = nullptr;
};

bool LineEditor::editing() const { return terminal_ != nullptr && terminal_->editor != nullptr; }

LineEditor::LineEditor(std::istream& in, bool interactive, Browse browse)
    : in_(in), browse_(std::move(browse)) {
  if (interactive) terminal_ = std::make_unique<Terminal>(*this);
}

bool LineEditor::read(std::string& line) {
  if (!editing()) return static_cast<bool>(std::getline(in_, line));
  int count = 0;
  const char* text = el_gets(terminal_->editor, &count);
  if (text == nullptr || count <= 0) return false;
  line.assign(text, static_cast<size_t>(count));
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return true;
}

#else

struct LineEditor::Terminal {};

bool LineEditor::editing() const { return false; }

LineEditor::LineEditor(std::istream& in, bool, Browse browse)
    : in_(in), browse_(std::move(browse)) {}

bool LineEditor::read(std::string& line) { return static_cast<bool>(std::getline(in_, line)); }

#endif

LineEditor::~LineEditor() = default;

}  // namespace kvt::cli
