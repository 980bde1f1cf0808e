#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/control_ids.h"
#include "gui/app_icon.h"
#include "gui/dialog_window.h"
#include "gui/form_builder.h"

namespace kvt::gui {

namespace {

constexpr int kPortGroup = 1037;
constexpr int kActionGroup = 1038;
constexpr int kStatusGroup = 1043;
constexpr int kOverrideLabel = 1040;
constexpr int kUnusedStatus = 1016;

void buildMenu(FormBuilder& form, QMenuBar* bar) {
  namespace id = app::id;
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  form.item(file, id::MenuExit, "E&xit");
  QMenu* port = bar->addMenu(QStringLiteral("&Port"));
  form.item(port, id::MenuSettings, "&Settings...");
  port->addSeparator();
  form.item(port, id::MenuOpen, "&Open");
  form.item(port, id::MenuClose, "&Close");
  QMenu* action = bar->addMenu(QStringLiteral("&Action"));
  form.item(action, id::MenuAccessRegister, "&Access Register");
  action->addSeparator();
  form.item(action, id::MenuSelectCommandFile, "&Select Command File");
  form.item(action, id::MenuProcessCommandFile, "&Process Command File");
  action->addSeparator();
  QMenu* baud = action->addMenu(QStringLiteral("&Change Host Baudrate"));
  form.item(baud, id::MenuHost9600, "&9600 bps *");
  form.item(baud, id::MenuHost115200, "115&200 bps");
  QMenu* log = bar->addMenu(QStringLiteral("&Log"));
  form.item(log, id::MenuSaveLog, "&Save");
  form.item(log, id::MenuClearLog, "&Clear");
  form.item(log, id::MenuTestLog, "TestLog")->setEnabled(false);
  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  form.item(help, id::MenuCommands, "&Commands");
  form.item(help, id::MenuInfo, "&Info");
}

QGroupBox* portGroup(FormBuilder& form) {
  namespace id = app::id;
  QGroupBox* group = form.group(kPortGroup, "Port");
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(form.button(id::OpenButton, "&Open"));
  layout->addWidget(form.button(id::CloseButton, "&Close"));
  layout->addWidget(form.button(id::AllTo115k, "All to 115 &kbps"));
  layout->addStretch();
  return group;
}

QGroupBox* actionGroup(FormBuilder& form) {
  namespace id = app::id;
  QGroupBox* group = form.group(kActionGroup, "Action");
  auto* layout = new QGridLayout(group);
  layout->addWidget(form.button(id::SelectScf, "&Select SCF"), 0, 0);
  QLineEdit* name = form.edit(id::OverrideName);
  layout->addWidget(form.label(kOverrideLabel, "Override &Name:", name), 0, 1);
  layout->addWidget(name, 0, 2);
  layout->addWidget(form.button(id::ProcessScf, "Process &SCF"), 0, 3);
  layout->addWidget(form.button(id::RegisterIo, "&Register I/O"), 1, 0);
  QPushButton* pi = form.button(id::PiButton, "C++ &Interface");
  QSizePolicy keepPlace = pi->sizePolicy();
  keepPlace.setRetainSizeWhenHidden(true);  // hidden without -pi, the grid stays as it is
  pi->setSizePolicy(keepPlace);
  layout->addWidget(pi, 1, 1);
  layout->addWidget(form.button(id::KorvexReader, "&Korvex Reader"), 1, 2);
  layout->addWidget(form.button(id::DumpRegister, "&Dump Register"), 1, 3);
  return group;
}

QGroupBox* commandGroup(FormBuilder& form) {
  QGroupBox* group = form.group(0, "Command &Line");
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(form.edit(app::id::CommandLine, {.upperCase = true, .maxLength = 127}), 1);
  QPushButton* process = form.button(app::id::Process, "&Process");
  process->setDefault(true);  // Enter in the command line presses it
  layout->addWidget(process);
  return group;
}

QGroupBox* statusGroup(FormBuilder& form) {
  namespace id = app::id;
  QGroupBox* group = form.group(kStatusGroup, "Operation Status");
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(form.edit(id::OperationStatus, {.readOnly = true}), 1);
  for (auto [statusId, text] : {std::pair{id::PortName, "COM ?"},
                                {id::HostSpeed, "? bps"},
                                {id::OpenClosed, "?"},
                                {id::BitOrder, "?"},
                                {kUnusedStatus, " "}}) {
    QLabel* label = form.label(statusId, text);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("115200")) + 8);
    layout->addWidget(label);
  }
  return group;
}

}  // namespace

void BuildMainWindow(DialogWindow& window) {
  FormBuilder form(window);
  window.setWindowTitle(QStringLiteral("Sarvel Serial RS 232 Test Program"));
  window.setWindowIcon(AppIcon());
  window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  auto* layout = new QVBoxLayout(&window);
  auto* bar = new QMenuBar(&window);
  buildMenu(form, bar);
  layout->setMenuBar(bar);

  auto* top = new QHBoxLayout;
  top->addWidget(portGroup(form));
  top->addWidget(actionGroup(form), 1);
  layout->addLayout(top);
  layout->addWidget(commandGroup(form));
  layout->addWidget(statusGroup(form));
  QPlainTextEdit* log = form.pane(app::id::LogPane);
  log->setMinimumHeight(240);
  layout->addWidget(log, 1);  // extra height goes to the log
  window.resize(760, 560);
}

}  // namespace kvt::gui
