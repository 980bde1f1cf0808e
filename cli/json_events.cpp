#include "cli/json_events.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "chip/status.h"

namespace kvt::cli {

namespace {

using json = nlohmann::ordered_json;

// Bytes and statuses are written as the log writes them: upper-case hexadecimal text.
std::string hexByte(uint8_t value) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

void putStatus(json& object, uint16_t status) {
  char text[5];
  std::snprintf(text, sizeof text, "%04X", status);
  object["status"] = text;
  object["description"] = chip::describe(status);
}

void write(std::ostream& out, const json& object) {
  // Text from a file or the chip may hold any byte: replaced, never a broken document.
  out << object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n'
      << std::flush;
}

}  // namespace

JsonEvents::~JsonEvents() { lineBuffer_.flushPartial(); }

void JsonEvents::claim(std::string_view line) { claimed_.assign(line); }

void JsonEvents::registerAccess(const app::RegisterAccessRecord& record) {
  json object{
      {"event", "access"}, {"command", record.command}, {"address", hexByte(record.address)}};
  if (record.value) object["value"] = hexByte(*record.value);
  if (record.mask) object["mask"] = hexByte(*record.mask);
  if (record.set) object["set"] = *record.set;
  putStatus(object, record.status);
  if (!record.line.empty()) object["line"] = record.line;
  write(out_, object);
  if (!record.line.empty()) claim(record.line);
}

void JsonEvents::compare(const app::CompareRecord& record) {
  json object{{"event", "compare"},
              {"command", record.command},
              {"address", hexByte(record.address)},
              {"expected", hexByte(record.expected)}};
  if (record.mask) object["mask"] = hexByte(*record.mask);
  object["actual"] = hexByte(record.actual);
  object["equal"] = record.equal;
  object["line"] = record.line;
  write(out_, object);
  claim(record.line);
}

void JsonEvents::cardStepBegins() {
  inCardStep_ = true;
  stepLines_.clear();
}

void JsonEvents::cardStep(const app::CardStepRecord& record) {
  json object{{"event", "card"}, {"step", record.name}, {"parameters", record.parameters}};
  putStatus(object, record.status);
  if (record.block) object["block"] = *record.block;
  object["uid"] = record.uid ? json(*record.uid) : json(nullptr);
  object["data"] = record.data ? json(*record.data) : json(nullptr);
  object["lines"] = stepLines_;
  write(out_, object);
  inCardStep_ = false;
  stepLines_.clear();
}

void JsonEvents::logLine(std::string_view line) {
  if (!claimed_.empty() && line == claimed_) {
    claimed_.clear();
    return;
  }
  if (inCardStep_) {
    stepLines_.emplace_back(line);
    return;
  }
  write(out_, json{{"event", "message"}, {"text", line}});
}

void JsonEvents::LineBuffer::flushPartial() {
  if (pending_.empty()) return;
  owner_.logLine(pending_);
  pending_.clear();
}

JsonEvents::LineBuffer::int_type JsonEvents::LineBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char character = traits_type::to_char_type(c);
  xsputn(&character, 1);
  return c;
}

std::streamsize JsonEvents::LineBuffer::xsputn(const char* text, std::streamsize count) {
  for (std::streamsize i = 0; i < count; ++i) {
    if (text[i] == '\n') {
      owner_.logLine(pending_);
      pending_.clear();
    } else {
      pending_.push_back(text[i]);
    }
  }
  return count;
}

}  // namespace kvt::cli
