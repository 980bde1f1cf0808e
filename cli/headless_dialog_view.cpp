#include "cli/headless_dialog_view.h"

namespace kvt::cli {

std::string HeadlessDialogView::text(int id) const {
  auto it = texts_.find(id);
  return it == texts_.end() ? std::string() : it->second;
}

void HeadlessDialogView::setText(int id, std::string_view text) {
  if (id == logPaneId_) {
    // Print only what has not been printed yet.
    std::string& printed = *printed_;
    print(text.starts_with(printed) ? text.substr(printed.size()) : text);
    printed.assign(text);
  }
  texts_[id].assign(text);
}

void HeadlessDialogView::appendText(int id, std::string_view text) {
  if (id == logPaneId_) {
    print(text);
    printed_->append(text);
  }
  texts_[id].append(text);
}

bool HeadlessDialogView::checked(int id) const {
  auto it = checks_.find(id);
  return it != checks_.end() && it->second;
}

void HeadlessDialogView::addItem(int id, std::string_view text) {
  lists_[id].items.emplace_back(text);
}

int HeadlessDialogView::selectedItem(int id) const {
  auto it = lists_.find(id);
  if (it == lists_.end()) return -1;
  const int selected = it->second.selected;
  return selected >= 0 && static_cast<std::size_t>(selected) < it->second.items.size() ? selected
                                                                                       : -1;
}

void HeadlessDialogView::print(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines.push_back(text[i]);
  }
  out_ << lines << std::flush;
}

}  // namespace kvt::cli
