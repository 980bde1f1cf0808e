#include "cli/headless_dialog_view.h"

namespace kvt::cli {

std::string HeadlessDialogView::text(int id) const {
  if (id == logPaneId_) return *printed_;
  auto it = texts_.find(id);
  return it == texts_.end() ? std::string() : it->second;
}

void HeadlessDialogView::setText(int id, std::string_view text) {
  if (id == logPaneId_) {
    // Print only what has not been printed yet.
    std::string& printed = *printed_;
    print(text.starts_with(printed) ? text.substr(printed.size()) : text);
    printed.assign(text);
    return;
  }
  texts_[id].assign(text);
}

void HeadlessDialogView::appendText(int id, std::string_view text) {
  if (id == logPaneId_) {
    print(text);
    printed_->append(text);
    return;
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
  // Whole runs of text between the CRs of CR LF line ends go out in one piece.
  std::size_t start = 0;
  for (std::size_t cr = text.find("\r\n"); cr != std::string_view::npos;
       cr = text.find("\r\n", start)) {
    out_.write(text.data() + start, static_cast<std::streamsize>(cr - start));
    start = cr + 1;
  }
  out_.write(text.data() + start, static_cast<std::streamsize>(text.size() - start));
  if (*flushEachLine_) out_.flush();
}

}  // namespace kvt::cli
