// Runs every case of tests/cli/cases: kvt-cli (and kvt-sim) invocations with their files,
// input, signals, expected output, exit status and files left behind. The format is told in
// tests/cli/cases/README.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "support/program.h"

namespace kvt::test {
namespace {

namespace fs = std::filesystem;
const fs::path kCases = fs::path(KVT_SOURCE_DIR) / "tests/cli/cases";

// `text` with \n, \r and \\ turned into bytes and, for a whole line, its LF (which a trailing
// \c drops).
std::string Unescape(const std::string& text, bool line = true) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i] == '\\' && i + 1 < text.size() ? text[++i] : '\0';
    if (c == 'c') return bytes;
    bytes += c == 'n' ? '\n' : c == 'r' ? '\r' : c == '\0' ? text[i] : c;
  }
  return line ? bytes + "\n" : bytes;
}

// Words split at blanks; "..." makes one word of what it encloses.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words{""};
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    if (c == ' ' && !quoted && !words.back().empty()) words.emplace_back();
    if (c != '"' && (c != ' ' || quoted)) words.back() += c;
  }
  if (words.back().empty()) words.pop_back();
  return words;
}

struct Step {
  std::string op;    // the directive
  std::string arg;   // the rest of its line
  std::string text;  // the "|" lines that follow it
};

std::vector<Step> Parse(const fs::path& file) {
  std::vector<Step> steps;
  std::istringstream lines(ReadFile(file));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '|' && !steps.empty()) {
      steps.back().text += Unescape(line.substr(std::min<size_t>(2, line.size())));
      continue;
    }
    if (line.rfind("x ", 0) == 0 && !steps.empty()) {  // the step before, N times
      const Step last = steps.back();
      for (int n = std::stoi(line.substr(2)); n > 1; --n) {
        if (last.text.empty())
          steps.push_back(last);
        else
          steps.back().text += last.text;
      }
      continue;
    }
    const size_t blank = line.find(' ');
    steps.push_back(
        {line.substr(0, blank), blank == std::string::npos ? "" : line.substr(blank + 1), ""});
  }
  return steps;
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kCases)) {
    if (entry.path().extension() == ".case") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class CliCaseTest : public ::testing::TestWithParam<std::string> {
 protected:
  std::string expand(std::string text) {
    for (const auto& [name, value] : variables) {
      for (size_t at; (at = text.find(name)) != std::string::npos;) {
        text.replace(at, name.size(), value);
      }
    }
    return text;
  }
  std::vector<std::string> program(const std::string& name, const std::string& args) {
    std::vector<std::string> argv = Words(expand(args));
    argv.insert(argv.begin(), name == "$sim" ? KVT_SIM_PROGRAM : KVT_CLI_PROGRAM);
    return argv;
  }
  // What comes before a run: files, the simulator.
  void setUp(const Step& step) {
    const std::vector<std::string> words = Words(expand(step.arg));
    const fs::path path = folder.path / expand(step.arg);
    if (step.op == "+") {
      WriteFile(path, expand(step.text));
      made[path] = fs::last_write_time(path);
    } else if (step.op == "+dir") {
      fs::create_directories(path);
    } else if (step.op == "+link") {
      fs::create_symlink(words.at(1), folder.path / words.at(0));
    } else if (step.op == "+fifo") {
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    } else if (step.op == "stop-sim") {
      EXPECT_EQ(sim->finish(std::chrono::seconds(20), SIGTERM), 0) << where;
    } else if (step.op == "sim") {
      sim = std::make_unique<Program>(program("$sim", step.arg), folder.path, io / "sim");
      variables["$PTY"] = sim->firstLine();
      ASSERT_NE(variables["$PTY"], "") << sim->err();
    } else {
      ADD_FAILURE() << where << "unknown directive " << step.op;
    }
  }
  // While the program runs: waits for its output, signals, the simulator's stop.
  bool during(Program& run, const Step& step) {
    if (step.op == "wait") {
      EXPECT_TRUE(run.waitForOutput(Unescape(expand(step.arg), false))) << where << run.out();
    } else if (step.op == "kill") {
      run.signal(step.arg == "INT" ? SIGINT : SIGTERM);
    } else if (step.op == "stop-sim") {
      setUp(step);
    } else {
      return false;
    }
    return true;
  }
  // Checks an expectation on the output of the finished run or on the folder.
  void check(const Step& step, const std::string& out, const std::string& err) {
    const std::string text = expand(step.arg);
    const std::string bytes = Unescape(text, false);
    const std::vector<std::string> words = Words(text);
    const std::string file = step.op[0] == '=' ? ReadFile(folder.path / text) : "";
    static const std::set<std::string> kKnown{
        ">", ">~", ">-", ">*",   ">=", "!",     "!~",        "!*",
        "?", "=",  "=~", "=out", "==", "=none", "=unchanged"};
    bool holds = kKnown.contains(step.op);
    if (step.op == ">~") holds = out.find(bytes) != std::string::npos;
    if (step.op == ">-") holds = out.find(bytes) == std::string::npos;
    if (step.op == "!~") holds = err.find(bytes) != std::string::npos;
    if (step.op == "=") holds = file == expand(step.text);
    if (step.op == "=~") holds = file.find(expand(step.text)) != std::string::npos;
    if (step.op == "=out") holds = file == WithCrLf(out);
    if (step.op == "==") holds = ReadFile(folder.path / words.at(0)) == ReadFile(words.at(1));
    if (step.op == "=none") holds = !fs::exists(folder.path / text);
    if (step.op == "=unchanged")
      holds = fs::last_write_time(folder.path / text) == made[folder.path / text];
    EXPECT_TRUE(holds) << where << step.op << " " << text << "\nout: " << out << "err: " << err
                       << (step.op[0] == '=' ? "file: " + file : "");
  }
  // Runs the program of steps[i] with the steps that go with it; the index of the next step.
  size_t run(const std::vector<Step>& steps, size_t i) {
    where = GetParam() + ".case: " + steps[i].op + " " + steps[i].arg + "\n";
    const auto argv = program(steps[i].op, steps[i].arg);
    std::string input;
    for (++i; i < steps.size() && steps[i].op == "<"; ++i) input += Unescape(steps[i].arg);
    Program run(argv, folder.path, io.path, input);
    while (i < steps.size() && during(run, steps[i])) ++i;
    const int status = run.finish(std::chrono::seconds(40));
    const std::string out = run.out();
    const std::string err = run.err();
    Expected expected;
    for (; i < steps.size() && std::string(">!?=").find(steps[i].op[0]) != std::string::npos; ++i) {
      expected.add(steps[i], expand(steps[i].arg), status);
      check(steps[i], out, err);
    }
    EXPECT_EQ(status, expected.status) << where << out << err;
    if (!expected.anyOut) {
      EXPECT_EQ(out, expected.out) << where;
    }
    if (!expected.anyErr) {
      EXPECT_EQ(err, expected.err) << where;
    }
    return i;
  }
  // A run's whole output and exit status as its steps give them.
  struct Expected {
    void add(const Step& step, const std::string& text, int actualStatus) {
      if (step.op == ">") out += Unescape(text);
      if (step.op == ">=") out += ReadFile(text);
      if (step.op == "!") err += Unescape(text);
      // Any status (*) is still an exit: not a time-out, not a signal.
      if (step.op == "?")
        status = text != "*" ? std::stoi(text) : actualStatus >= 0 ? actualStatus : -2;
      anyOut = anyOut || step.op == ">~" || step.op == ">-" || step.op == ">*";
      anyErr = anyErr || step.op == "!~" || step.op == "!*";
    }
    std::string out;
    std::string err;
    int status = 0;
    bool anyOut = false;
    bool anyErr = false;
  };

  TempFolder folder;
  TempFolder io;
  std::unique_ptr<Program> sim;
  std::map<fs::path, fs::file_time_type> made;  // when each file of the case was made
  std::map<std::string, std::string> variables{{"$SRC", KVT_SOURCE_DIR},
                                               {"$DIR", folder.path.string()}};
  std::string where = GetParam() + ".case: ";
};

TEST_P(CliCaseTest, RunsAsWritten) {
  const std::vector<Step> steps = Parse(kCases / (GetParam() + ".case"));
  for (size_t i = 0; i < steps.size();) {
    if (steps[i].op[0] == '$') {
      i = run(steps, i);
    } else if (steps[i].op[0] == '=') {
      check(steps[i++], "", "");
    } else {
      setUp(steps[i++]);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, CliCaseTest, ::testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kvt::test
