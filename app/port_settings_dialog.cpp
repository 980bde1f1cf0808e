#include "app/port_settings_dialog.h"

#include "app/control_ids.h"
#include "app/port_opener.h"
#include "app/text_format.h"
#include "chip/register_control.h"
#include "chip/serial_bus.h"

namespace kvt::app {

void PortSettingsDialog::init(platform::View& window) {
  window.clearItems(id::PortList);
  for (const std::string& name : app_.portNames) {
    // The entry may say where the name leads; the name itself is what gets stored.
    std::string entry = name;
    if (app_.portOpener != nullptr) {
      const std::string device = app_.portOpener->describe(name);
      if (!device.empty()) entry += "  (" + device + ")";
    }
    window.addItem(id::PortList, entry);
  }
  window.selectItem(id::PortList, app_.portIndex);
  window.setText(id::VerifyResult, "Unknown");
  window.setVisible(id::TestChip, false);
  window.setChecked(id::TestChip,
                    app_.serialBusObject != nullptr && app_.serialBusObject->bitReversed());
}

void PortSettingsDialog::command(platform::View& window, int id, int notification) {
  switch (id) {
    case id::PortList:
      window.setText(id::VerifyResult, "Unknown");
      break;
    case id::Verify:
      verify(window);
      break;
    case id::Apply:
      apply(window);
      break;
    case id::Discard:
      window.close(0);
      break;
    default:
      break;
  }
}

void PortSettingsDialog::verify(platform::View& window) {
  const int selected = window.selectedItem(id::PortList);
  if (selected < 0 || selected >= static_cast<int>(app_.portNames.size())) {
    window.setText(id::VerifyResult, "NOK (No Sel.)");
    return;
  }
  // The open port (if any) is not touched; this only tries the chosen one.
  const int error =
      app_.portOpener != nullptr ? app_.portOpener->verify(app_.portNames[selected]) : -1;
  window.setText(id::VerifyResult,
                 Format(error == 0 ? "OK (0x%08X)" : "NOK (0x%08X)", static_cast<unsigned>(error)));
}

void PortSettingsDialog::apply(platform::View& window) {
  const int selected = window.selectedItem(id::PortList);
  app_.portIndex = (selected < 0 || selected >= static_cast<int>(app_.portNames.size()))
                       ? 0
                       : static_cast<uint8_t>(selected);
  app_.baudIndex = 0;
  const bool testChip = window.checked(id::TestChip);
  if (app_.serialBusObject != nullptr) app_.serialBusObject->setBitReversed(testChip);
  if (app_.registerControlObject != nullptr) {
    app_.registerControlObject->setTestChipAddressing(testChip);
  }
  if (platform::View* main = app_.mainWindow) {
    main->setText(id::PortName, app_.portNames[app_.portIndex]);
    main->setText(id::HostSpeed, app_.baudNames[app_.baudIndex]);
    main->setText(id::BitOrder, testChip ? "R" : "N");
  }
  window.close(1);
}

}  // namespace kvt::app
