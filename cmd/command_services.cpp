#include "cmd/command_services.h"

#include <memory>

#include "cmd/command_reference.h"
#include "cmd/execute_line.h"
#include "cmd/script_runner.h"
#include "platform/wait_notice.h"

namespace kvt::cmd {

void InstallCommandServices(app::AppState& app, CommandEnvironment environment) {
  auto shared = std::make_shared<const CommandEnvironment>(std::move(environment));
  app.services.executeLine = [shared](const app::DialogContext& context, std::string& line) {
    CommandInterpreter interpreter(context, *shared->clock, shared->tally);
    interpreter.running = shared->keepWaiting;
    const LineResult result = ExecuteLine(interpreter, line);
    platform::NoticeWait();  // the next line comes from the user, who may look at the files
    return static_cast<int>(result);
  };
  app.services.selectCommandFile = [](const app::DialogContext& context) {
    SelectCommandFile(context);
  };
  app.services.processCommandFile = [shared](const app::DialogContext& context) {
    ProcessCommandFile(context, *shared);
  };
  app.services.printCommandReference = [](const app::DialogContext& context) {
    PrintCommandReference(context);
  };
}

}  // namespace kvt::cmd
