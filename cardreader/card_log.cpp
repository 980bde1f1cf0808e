#include "cardreader/card_log.h"

#include "app/log.h"
#include "cardreader/control_ids.h"

namespace kvt::cardreader {

namespace {
app::Log* logOf(const app::DialogContext& context) {
  return context.app != nullptr ? context.app->logBuffer : nullptr;
}
}  // namespace

void AppendCardLog(const app::DialogContext& context, std::string_view text, bool lineEnd) {
  if (app::Log* log = logOf(context)) log->append(text, lineEnd, context.window, id::LogPane);
}

void ClearCardLog(const app::DialogContext& context) {
  if (app::Log* log = logOf(context)) log->clear(context.window, id::LogPane);
}

}  // namespace kvt::cardreader
