#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/control_ids.h"
#include "cmd/progress_dialog.h"
#include "gui/app_icon.h"
#include "gui/dialog_window.h"
#include "gui/form_builder.h"

#ifndef KVT_VERSION
#define KVT_VERSION "unknown"
#endif

namespace kvt::gui {

void BuildAboutDialog(DialogWindow& window) {
  FormBuilder form(window);
  window.setWindowTitle(QStringLiteral("Info"));
  auto* layout = new QVBoxLayout(&window);
  auto* icon = new QLabel(&window);
  icon->setPixmap(AppIcon().pixmap(48, 48));
  layout->addWidget(icon, 0, Qt::AlignHCenter);
  layout->addWidget(form.label(0, "Sarvel Serial RS 232 Test Program"));
  layout->addWidget(form.label(0, "kvt " KVT_VERSION " for the KV380 reader chip"));
  layout->addWidget(form.label(0, "Free software under the MIT licence"));
  QPushButton* ok = form.button(app::id::AboutOk, "OK");
  ok->setDefault(true);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
}

void BuildPortSettingsDialog(DialogWindow& window) {
  namespace id = app::id;
  FormBuilder form(window);
  window.setWindowTitle(QStringLiteral("Port Settings"));
  auto* layout = new QVBoxLayout(&window);

  QGroupBox* port = form.group(0, "RS 232 Port Parameters");
  auto* grid = new QGridLayout(port);
  QListWidget* list = form.list(id::PortList);
  list->setMinimumHeight(list->fontMetrics().lineSpacing() * 9);  // the eight ports at a glance
  grid->addWidget(form.label(0, "&Serial Port", list), 0, 0);
  grid->addWidget(list, 1, 0, 3, 1);
  QLineEdit* result = form.edit(id::VerifyResult, {.readOnly = true});
  grid->addWidget(form.label(0, "Verification && Status", result), 0, 1);
  grid->addWidget(form.button(id::Verify, "&Verify"), 1, 1);
  grid->addWidget(result, 2, 1);
  layout->addWidget(port);

  // The test-chip choice exists but is not offered: both stay hidden.
  QGroupBox* representation = form.group(0, "Serial Line Data Representation");
  auto* representationLayout = new QVBoxLayout(representation);
  representationLayout->addWidget(
      form.check(id::TestChip, "Arrange for Sarvel DIGITAL &Test-Chip"));
  representation->setVisible(false);
  layout->addWidget(representation);

  auto* buttons = new QHBoxLayout;
  QPushButton* apply = form.button(id::Apply, "&Apply");
  apply->setDefault(true);
  buttons->addWidget(apply);
  buttons->addWidget(form.button(id::Discard, "&Discard"));
  layout->addLayout(buttons);
}

void BuildRegisterDialog(DialogWindow& window) {
  namespace id = app::id;
  FormBuilder form(window);
  window.setWindowTitle(QStringLiteral("Access RF Front End Registers"));
  auto* layout = new QGridLayout(&window);
  const EditStyle hexField{.upperCase = true, .alignRight = true, .maxLength = 9};

  QGroupBox* address = form.group(0, "&Addr [0x]");
  (new QVBoxLayout(address))->addWidget(form.edit(id::RegAddress, hexField));
  layout->addWidget(address, 0, 0);

  QGroupBox* value = form.group(0, "&Value [0x] [bin]");
  auto* valueLayout = new QHBoxLayout(value);
  valueLayout->addWidget(form.edit(id::RegValue, hexField));
  valueLayout->addWidget(form.edit(id::RegBinary, {.readOnly = true, .alignRight = true}));
  layout->addWidget(value, 0, 1);

  QGroupBox* action = form.group(0, "Action");
  auto* actionLayout = new QHBoxLayout(action);
  QPushButton* set = form.button(id::RegSet, "&Set");
  set->setDefault(true);
  actionLayout->addWidget(set);
  actionLayout->addWidget(form.button(id::RegGet, "&Get"));
  layout->addWidget(action, 1, 0);

  QGroupBox* log = form.group(1044, "&Log");
  auto* logLayout = new QHBoxLayout(log);
  logLayout->addWidget(form.check(id::RegLogEnable, "&Enable"));
  logLayout->addWidget(form.button(id::RegLogClear, "&Clear"));
  layout->addWidget(log, 1, 1);

  QGroupBox* result = form.group(0, "I/O &Result");
  auto* resultLine = form.edit(id::RegResult, {.readOnly = true});
  resultLine->setMinimumWidth(resultLine->fontMetrics().horizontalAdvance(QString(50, 'X')));
  (new QVBoxLayout(result))->addWidget(resultLine);
  layout->addWidget(result, 2, 0, 1, 2);
  layout->addWidget(form.button(id::RegQuit, "&Quit"), 3, 1, Qt::AlignRight);
}

void BuildProgressDialog(DialogWindow& window) {
  FormBuilder form(window);
  window.setWindowTitle(QStringLiteral("Processing..."));
  // No close box: only Break (or the end of the run) ends it.
  window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(form.label(cmd::id::ProgressText, ""));
  QPushButton* stop = form.button(cmd::id::BreakButton, "&Break");
  stop->setDefault(true);
  layout->addWidget(stop, 0, Qt::AlignHCenter);
}

}  // namespace kvt::gui
