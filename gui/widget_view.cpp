#include "gui/widget_view.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QThread>

#include "gui/text_convert.h"

namespace kvt::gui {

namespace {

// Counts the programmatic changes a view makes, so the widgets' signals can tell them from
// the user's.
class SettingGuard {
 public:
  explicit SettingGuard(int& depth) : depth_(depth) { ++depth_; }
  ~SettingGuard() { --depth_; }

 private:
  int& depth_;
};

template <typename Result, typename Call>
Result onThreadOf(const QObject* object, Call call) {
  if (QThread::currentThread() == object->thread()) return call();
  Result result{};
  QMetaObject::invokeMethod(
      const_cast<QObject*>(object), [&] { result = call(); }, Qt::BlockingQueuedConnection);
  return result;
}

}  // namespace

WidgetView::WidgetView(QWidget* window) : window_(window) {}

WidgetView::~WidgetView() = default;

bool WidgetView::onUiThread() const { return QThread::currentThread() == thread(); }

void WidgetView::bind(int id, QWidget* widget) {
  widgets_[id] = widget;
  watchEdits(id, widget);
}

void WidgetView::bind(int id, QAction* action) { actions_[id] = action; }

QWidget* WidgetView::widget(int id) const {
  auto it = widgets_.find(id);
  return it == widgets_.end() ? nullptr : it->second.data();
}

QAction* WidgetView::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second.data();
}

int WidgetView::idOf(const QObject* widget) const {
  for (const auto& [id, bound] : widgets_) {
    if (bound.data() == widget) return id;
  }
  return 0;
}

std::atomic<bool>& WidgetView::userEdited(int id) const {
  std::lock_guard lock(editedMutex_);
  auto& flag = edited_[id];
  if (!flag) flag = std::make_unique<std::atomic<bool>>(false);
  return *flag;
}

void WidgetView::watchEdits(int id, QWidget* widget) {
  std::atomic<bool>* flag = &userEdited(id);
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    logicalLength_[id] = 0;
    connect(edit, &QPlainTextEdit::textChanged, this, [this, flag] {
      if (!settingProgrammatically()) flag->store(true);
    });
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    connect(line, &QLineEdit::textEdited, this, [flag] { flag->store(true); });
  }
}

std::string WidgetView::text(int id) const {
  return onThreadOf<std::string>(this, [&]() -> std::string {
    const_cast<WidgetView*>(this)->flushQueued();
    QWidget* w = widget(id);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) return FromPane(edit->toPlainText());
    if (auto* line = qobject_cast<QLineEdit*>(w)) return line->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title().toStdString();
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdString();
    if (QAction* a = action(id)) return a->text().toStdString();
    return {};
  });
}

void WidgetView::setText(int id, std::string_view text) {
  if (!onUiThread()) return enqueue({Pending::Kind::SetText, id, std::string(text), 0, {}});
  flushQueued();
  applySetText(id, text);
}

void WidgetView::applySetText(int id, std::string_view text) {
  SettingGuard guard(settingDepth_);
  QWidget* w = widget(id);
  const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
    edit->setPlainText(ToPane(text));
    logicalLength_[id] = text.size();
  } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
    line->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(value);
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(value);
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(value);
  } else if (QAction* a = action(id)) {
    a->setText(value);
  }
  userEdited(id).store(false);
}

void WidgetView::appendText(int id, std::string_view text) {
  if (!onUiThread()) return enqueue({Pending::Kind::Append, id, std::string(text), 0, {}});
  flushQueued();
  applyAppend(id, text);
}

void WidgetView::applyAppend(int id, std::string_view text) {
  SettingGuard guard(settingDepth_);
  QWidget* w = widget(id);
  if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(ToPane(text));
    logicalLength_[id] += text.size();
  } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
    line->setText(line->text() + QString::fromUtf8(text.data(), qsizetype(text.size())));
  }
}

void WidgetView::setCaret(int id, std::size_t position) {
  if (!onUiThread()) return enqueue({Pending::Kind::Caret, id, {}, position, {}});
  flushQueued();
  applyCaret(id, position);
}

void WidgetView::applyCaret(int id, std::size_t position) {
  QWidget* w = widget(id);
  if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
    // Positions count CR LF as two characters; the pane holds one per line end. The caret
    // sits near the end, so it is found by walking back from there.
    const std::size_t length = logicalLength_[id];
    std::size_t back = length > position ? length - position : 0;
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    while (back > 0 && cursor.position() > 0) {
      const QChar before = edit->document()->characterAt(cursor.position() - 1);
      const bool lineEnd = before == QChar::ParagraphSeparator || before == QLatin1Char('\n');
      if (lineEnd && back == 1) break;  // between CR and LF: before the line end
      back -= lineEnd ? 2 : 1;
      cursor.movePosition(QTextCursor::PreviousCharacter);
    }
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
  } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
    line->setCursorPosition(static_cast<int>(position));
  }
}

bool WidgetView::modified(int id) const { return userEdited(id).load(); }

void WidgetView::enable(int id, bool on) {
  if (!onUiThread())
    return enqueue({Pending::Kind::Other, id, {}, 0, [=, this] { enable(id, on); }});
  flushQueued();
  if (QWidget* w = widget(id)) w->setEnabled(on);
  if (QAction* a = action(id)) a->setEnabled(on);
}

void WidgetView::setVisible(int id, bool on) {
  if (!onUiThread()) {
    return enqueue({Pending::Kind::Other, id, {}, 0, [=, this] { setVisible(id, on); }});
  }
  flushQueued();
  if (QWidget* w = widget(id)) w->setVisible(on);
  if (QAction* a = action(id)) a->setVisible(on);
}

void WidgetView::setFocus(int id) {
  if (!onUiThread()) return enqueue({Pending::Kind::Other, id, {}, 0, [=, this] { setFocus(id); }});
  flushQueued();
  if (QWidget* w = widget(id)) w->setFocus(Qt::OtherFocusReason);
}

bool WidgetView::setMonospaceFont(int id) {
  return onThreadOf<bool>(this, [&] {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(font).fixedPitch()) {
      font.setFamily(QStringLiteral("DejaVu Sans Mono"));
      font.setStyleHint(QFont::TypeWriter);
      if (!QFontInfo(font).fixedPitch()) return false;
    }
    QWidget* w = widget(id);
    if (w == nullptr) return false;
    w->setFont(font);
    return true;
  });
}

bool WidgetView::checked(int id) const {
  return onThreadOf<bool>(this, [&] {
    if (auto* button = qobject_cast<QAbstractButton*>(widget(id))) return button->isChecked();
    if (QAction* a = action(id)) return a->isChecked();
    return false;
  });
}

void WidgetView::setChecked(int id, bool on) {
  if (!onUiThread()) {
    return enqueue({Pending::Kind::Other, id, {}, 0, [=, this] { setChecked(id, on); }});
  }
  flushQueued();
  SettingGuard guard(settingDepth_);
  if (auto* button = qobject_cast<QAbstractButton*>(widget(id))) button->setChecked(on);
}

void WidgetView::addItem(int id, std::string_view text) {
  const QString item = QString::fromUtf8(text.data(), qsizetype(text.size()));
  if (!onUiThread()) {
    return enqueue(
        {Pending::Kind::Other, id, {}, 0, [=, this] { addItem(id, item.toStdString()); }});
  }
  flushQueued();
  SettingGuard guard(settingDepth_);
  if (auto* combo = qobject_cast<QComboBox*>(widget(id))) {
    combo->addItem(item);
    combo->setCurrentIndex(-1);  // like a fresh list box: nothing chosen until told
  } else if (auto* list = qobject_cast<QListWidget*>(widget(id))) {
    list->addItem(item);
  }
}

void WidgetView::clearItems(int id) {
  if (!onUiThread())
    return enqueue({Pending::Kind::Other, id, {}, 0, [=, this] { clearItems(id); }});
  flushQueued();
  SettingGuard guard(settingDepth_);
  if (auto* combo = qobject_cast<QComboBox*>(widget(id))) combo->clear();
  if (auto* list = qobject_cast<QListWidget*>(widget(id))) list->clear();
}

void WidgetView::selectItem(int id, int index) {
  if (!onUiThread()) {
    return enqueue({Pending::Kind::Other, id, {}, 0, [=, this] { selectItem(id, index); }});
  }
  flushQueued();
  SettingGuard guard(settingDepth_);
  if (auto* combo = qobject_cast<QComboBox*>(widget(id))) combo->setCurrentIndex(index);
  if (auto* list = qobject_cast<QListWidget*>(widget(id))) list->setCurrentRow(index);
}

int WidgetView::selectedItem(int id) const {
  return onThreadOf<int>(this, [&] {
    if (auto* combo = qobject_cast<QComboBox*>(widget(id))) return combo->currentIndex();
    if (auto* list = qobject_cast<QListWidget*>(widget(id))) {
      return list->selectedItems().isEmpty() ? -1 : list->currentRow();
    }
    return -1;
  });
}

void WidgetView::close(int result) {
  if (!onUiThread()) {
    return enqueue({Pending::Kind::Other, 0, {}, 0, [=, this] { close(result); }});
  }
  flushQueued();
  if (onClose_) onClose_(result);
}

void WidgetView::enqueue(Pending pending) {
  bool post = false;
  {
    std::lock_guard lock(queueMutex_);
    auto is = [&](std::size_t fromEnd, Pending::Kind kind) {
      return queue_.size() >= fromEnd && queue_[queue_.size() - fromEnd].kind == kind &&
             queue_[queue_.size() - fromEnd].id == pending.id;
    };
    if (pending.kind == Pending::Kind::Append && is(1, Pending::Kind::Caret) &&
        is(2, Pending::Kind::Append)) {
      queue_.pop_back();  // the caret that follows this append overtakes the earlier one
    }
    if (pending.kind == Pending::Kind::Append && is(1, Pending::Kind::Append)) {
      queue_.back().text += pending.text;  // one insertion for a burst of lines
    } else if (pending.kind == Pending::Kind::Caret && is(1, Pending::Kind::Caret)) {
      queue_.back().position = pending.position;
    } else {
      queue_.push_back(std::move(pending));
    }
    if (!flushPosted_) post = flushPosted_ = true;
  }
  if (post)
    QMetaObject::invokeMethod(
        this, [this] { flushQueued(); }, Qt::QueuedConnection);
}

void WidgetView::flushQueued() {
  std::vector<Pending> work;
  {
    std::lock_guard lock(queueMutex_);
    work.swap(queue_);
    flushPosted_ = false;
  }
  for (Pending& pending : work) {
    switch (pending.kind) {
      case Pending::Kind::SetText:
        applySetText(pending.id, pending.text);
        break;
      case Pending::Kind::Append:
        applyAppend(pending.id, pending.text);
        break;
      case Pending::Kind::Caret:
        applyCaret(pending.id, pending.position);
        break;
      case Pending::Kind::Other:
        pending.call();
        break;
    }
  }
}

}  // namespace kvt::gui
