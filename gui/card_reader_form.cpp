#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "cardreader/control_ids.h"
#include "gui/dialog_window.h"
#include "gui/form_builder.h"

namespace kvt::gui {

namespace {

namespace id = cardreader::id;

constexpr int kCommandLabel = 1070;
constexpr int kBlockLabel = 1067;
constexpr int kKeyALabel = 1068;
constexpr int kKeyBLabel = 1069;
constexpr int kHexLabel = 1073;
constexpr int kKorvexGroup = 1074;

QGroupBox* activationGroup(FormBuilder& form) {
  QGroupBox* group = form.group(0, "ISO 14443.3 Initialization and Anticollision");
  auto* layout = new QGridLayout(group);
  layout->addWidget(form.button(id::Request, "Re&quest"), 0, 0);
  QComboBox* code = form.combo(id::RequestCode);
  layout->addWidget(form.label(kCommandLabel, "&CMD", code), 0, 1);
  layout->addWidget(code, 0, 2);
  layout->addWidget(form.button(id::AnticollisionSelect, "Anticollision&Select"), 1, 0);
  layout->addWidget(form.button(id::RequestAndSelect, "Reques&t + AnticollisionSelect"), 1, 1, 1,
                    2);
  layout->addWidget(form.button(id::Halt, "&Halt"), 2, 0);
  return group;
}

QGroupBox* korvexGroup(FormBuilder& form) {
  QGroupBox* group = form.group(kKorvexGroup, "Commands KORVEX PCD");
  auto* layout = new QGridLayout(group);
  QComboBox* block = form.combo(id::Block);
  block->setMaxVisibleItems(16);
  layout->addWidget(form.label(kBlockLabel, "B&lock", block), 0, 0);
  layout->addWidget(block, 0, 1);
  QLineEdit* keyA = form.edit(id::KeyA);
  layout->addWidget(form.label(kKeyALabel, "Key &A", keyA), 1, 0);
  layout->addWidget(keyA, 1, 1);
  layout->addWidget(form.button(id::AuthenticateA, "Auth&ent A"), 1, 2);
  QLineEdit* keyB = form.edit(id::KeyB);
  layout->addWidget(form.label(kKeyBLabel, "Key &B", keyB), 2, 0);
  layout->addWidget(keyB, 2, 1);
  layout->addWidget(form.button(id::AuthenticateB, "Authe&nt B"), 2, 2);
  QLineEdit* hex = form.edit(id::Hex);
  hex->setMinimumWidth(hex->fontMetrics().horizontalAdvance(QString(34, '0')));
  layout->addWidget(form.label(kHexLabel, "H&EX", hex), 3, 0);
  layout->addWidget(hex, 3, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(form.button(id::Read, "&Read"));
  buttons->addWidget(form.button(id::Write, "&Write"));
  buttons->addWidget(form.button(id::WriteKl, "Write &KL"));
  layout->addLayout(buttons, 4, 0, 1, 3);
  return group;
}

}  // namespace

void BuildCardReaderDialog(DialogWindow& window) {
  FormBuilder form(window);
  window.setWindowTitle(QStringLiteral("Korvex Reader"));
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(activationGroup(form));
  layout->addWidget(korvexGroup(form));
  QPlainTextEdit* log = form.pane(id::LogPane);
  log->setMinimumSize(620, 200);
  layout->addWidget(log, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(form.check(id::SamMode, "SIGIN/SIGOUT"));
  bottom->addStretch();
  bottom->addWidget(form.button(id::Exit, "E&xit"));
  layout->addLayout(bottom);
}

}  // namespace kvt::gui
