// The options of kvt-cli, kvt-sim and the desktop program as one table: tests/cli/options.txt
// holds each argument list with what it reads as, or the error it is refused with.
#include <gtest/gtest.h>

#include <sstream>

#include "app/text_format.h"
#include "cli/cli_options.h"
#include "sim/sim_options.h"
#include "support/files.h"

namespace kvt::cli {
namespace {

using Args = std::vector<std::string>;

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (uint8_t byte : bytes) text += app::Format("%02X", byte);
  return text;
}

std::string Describe(const sim::CardFaults& faults) {
  return std::string(faults.nakWrites ? "/nak" : "") + (faults.wrongBcc ? "/bcc" : "") +
         (faults.ackValueOperands ? "/ack" : "") +
         (faults.leaveAfterFrames ? "/leave" + std::to_string(*faults.leaveAfterFrames) : "");
}

// The field's settings that differ from its defaults.
std::string Describe(const sim::FieldSetup& field) {
  std::string text = std::string(field.empty ? " empty" : "") + (field.saveImages ? " save" : "");
  for (const auto& card : field.cards)
    text += " card=" + Hex(card.uid) + card.imageFile + Describe(card.faults);
  const std::string faults = Describe(field.defaultCardFaults);
  return faults.empty() ? text : text + " default" + faults;
}

std::string Describe(const wiring::ProgramOptions& options) {
  return (options.port ? " port=" + *options.port : "") + (options.piShown ? " pi" : "") +
         Describe(options.field);
}

std::string Describe(const CliOptions& o) {
  std::ostringstream text;
  text << "command=" << o.command;
  for (const std::string& argument : o.arguments) text << " [" << argument << "]";
  text << Describe(static_cast<const wiring::ProgramOptions&>(o));
  if (o.configGiven || o.config != "kvt_start.cfg") text << " config=" << o.config;
  if (o.baud) text << " baud=" << *o.baud;
  if (o.logFile) text << " log=" << *o.logFile;
  if (o.traceFile) text << " trace=" << *o.traceFile;
  const std::pair<bool, const char*> flags[] = {{o.strict, "strict"},     {o.verbose, "verbose"},
                                                {o.json, "json"},         {o.testLog, "testlog"},
                                                {o.trailers, "trailers"}, {o.help, "help"},
                                                {o.version, "version"}};
  for (const auto& [on, name] : flags) text << (on ? std::string(" ") + name : "");
  return text.str();
}

std::string Describe(const sim::SimOptions& o) {
  std::ostringstream text;
  text << "version=" << Hex({o.version}) << (o.help ? " help" : "")
       << (o.showVersion ? " showversion" : "") << (o.testChip ? " testchip" : "")
       << (o.link.empty() ? "" : " link=" + o.link) << (o.trace.empty() ? "" : " trace=" + o.trace)
       << Describe(o.field);
  const sim::LineFaultOptions& line = o.line;
  if (line.silentAfter) text << " silent=" << *line.silentAfter;
  if (line.wrongEcho) text << " wrongecho";
  if (line.dropEvery) text << " drop=" << line.dropEvery;
  if (line.lateMs) text << " late=" << line.lateMs;
  if (line.noiseMs) text << " noise=" << line.noiseMs;
  if (line.closeAfter) text << " close=" << *line.closeAfter;
  if (o.pace) text << " pace";
  if (o.latencyMs) text << " latency=" << o.latencyMs;
  return text.str();
}

// What `program` reads `args` as: its description, or "error: " and the message.
std::string Parse(const std::string& program, const Args& args) {
  std::string error;
  if (program == "kvt-sim") {
    std::vector<const char*> argv{"kvt-sim"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    sim::SimOptions options;
    const bool ok =
        sim::parseSimOptions(static_cast<int>(argv.size()), argv.data(), options, error);
    return ok ? Describe(options) : "error: " + error;
  }
  if (program == "kvt") {
    wiring::ProgramOptions options;
    return wiring::ParseProgramArguments(args, options, error) ? Describe(options).substr(1)
                                                               : "error: " + error;
  }
  CliOptions options;
  return ParseCliOptions(args, options, error) ? Describe(options) : "error: " + error;
}

// Each case is two lines: "PROGRAM ARG|ARG|..." ('' an empty argument) and "=> WHAT IT READS
// AS"; "#" starts a comment.
TEST(Options, ReadAsTheTableSays) {
  std::istringstream table(test::ReadFile(std::string(KVT_SOURCE_DIR) + "/tests/cli/options.txt"));
  int cases = 0;
  std::string program;
  Args args;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line.rfind("=> ", 0) == 0) {
      EXPECT_EQ(Parse(program, args), line.substr(3))
          << program << " " << testing::PrintToString(args);
      ++cases;
      continue;
    }
    program = line.substr(0, line.find(' '));
    args.clear();
    std::istringstream words(line.substr(std::min(line.size(), program.size() + 1)));
    for (std::string word; std::getline(words, word, '|');)
      args.push_back(word == "''" ? "" : word);
  }
  EXPECT_GT(cases, 40);
}

}  // namespace
}  // namespace kvt::cli
