#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/dialog_window.h"
#include "gui/form_builder.h"
#include "testlog/control_ids.h"

namespace kvt::gui {

void BuildTestLogDialog(DialogWindow& window) {
  namespace id = testlog::id;
  FormBuilder form(window);
  window.setWindowTitle(QStringLiteral("Test Logging options"));
  auto* layout = new QGridLayout(&window);
  layout->addWidget(form.check(id::Activate, "&Activate Test Output"), 0, 0, 1, 3);

  QComboBox* interface = form.combo(id::Interface);
  layout->addWidget(form.label(id::InterfaceLabel, "&Interface", interface), 1, 0);
  layout->addWidget(interface, 1, 1);
  QComboBox* format = form.combo(id::Format);
  layout->addWidget(form.label(id::FormatLabel, "&OutputFormat", format), 2, 0);
  layout->addWidget(format, 2, 1);

  layout->addWidget(form.button(id::SelectOutputFile, "Select Output &File"), 3, 0);
  layout->addWidget(form.edit(id::OutputFileName, {.readOnly = true}), 3, 1, 1, 2);
  layout->addWidget(form.button(id::SelectInputPath, "Select Input &Path"), 4, 0);
  layout->addWidget(form.edit(id::InputPathName, {.readOnly = true}), 4, 1, 1, 2);

  QLineEdit* address = form.edit(id::I2cAddress, {.upperCase = true, .maxLength = 3});
  layout->addWidget(form.label(id::I2cAddressLabel, "I&2C Address", address), 5, 0);
  auto* addressRow = new QHBoxLayout;
  addressRow->addWidget(form.label(id::HexPrefix, "0x"));
  addressRow->addWidget(address);
  layout->addLayout(addressRow, 5, 1);

  QPushButton* ok = form.button(id::Ok, "O&K");
  ok->setDefault(true);
  layout->addWidget(ok, 6, 2);
  // Everything but the check box, the "0x" and OK waits for the check box.
  for (int control : {id::Interface, id::InterfaceLabel, id::Format, id::FormatLabel,
                      id::SelectOutputFile, id::OutputFileName, id::SelectInputPath,
                      id::InputPathName, id::I2cAddress, id::I2cAddressLabel}) {
    window.view().widget(control)->setEnabled(false);
  }
}

}  // namespace kvt::gui
