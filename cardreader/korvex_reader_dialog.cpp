#include "cardreader/korvex_reader_dialog.h"

#include <memory>

#include "cardreader/card_actions.h"
#include "cardreader/card_opening.h"
#include "cardreader/control_ids.h"

namespace kvt::cardreader {

app::DialogContext KorvexReaderDialog::contextFor(platform::View& window, int id,
                                                  int notification) const {
  return app::DialogContext{
      app_.mainWindow, &window, app_.instance, 0, app::PackCommand(id, notification), &app_};
}

void KorvexReaderDialog::init(platform::View& window) {
  openingStatus_ = OpenCardReader(contextFor(window, 0, 0), session_, diagnostics_);
}

void KorvexReaderDialog::command(platform::View& window, int id, int notification) {
  const app::DialogContext context = contextFor(window, id, notification);
  switch (id) {
    case id::Request:
      Request(context, session_);
      break;
    case id::AnticollisionSelect:
      AnticollisionSelect(context, session_);
      break;
    case id::RequestAndSelect:
      RequestAndSelect(context, session_);
      break;
    case id::Halt:
      Halt(context, session_);
      break;
    case id::AuthenticateA:
      Authenticate(context, session_, false);
      break;
    case id::AuthenticateB:
      Authenticate(context, session_, true);
      break;
    case id::Read:
      ReadBlock(context, session_);
      break;
    case id::Write:
      WriteBlock(context, session_);
      break;
    case id::WriteKl:
      WriteKlPage(context, session_);
      break;
    case id::Block:
      SelectBlock(context, session_);
      break;
    case id::KeyA:
    case id::KeyB:
    case id::Hex:
      LimitField(context, id);
      break;
    case id::SamMode:
      SetSamMode(context);
      break;
    case id::Exit:
      closeRequest(window);
      break;
    default:
      break;
  }
}

void KorvexReaderDialog::closeRequest(platform::View& window) {
  CloseCardReader(contextFor(window, 0, 0));
  window.close(0);
}

void InstallCardReader(app::AppState& app) {
  // One session for the whole run; every opening clears it.
  auto session = std::make_shared<CardSession>();
  app.services.runCardReaderDialog = [&app, session](const app::DialogContext& context) {
    if (context.instance == nullptr) return;
    KorvexReaderDialog dialog(app, *session);
    context.instance->runModal(id::CardReaderDialog, context.owner, dialog);
  };
}

}  // namespace kvt::cardreader
