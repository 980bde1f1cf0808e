// The figures of kvt-cli and kvt-sim, each next to its peer and its floor, measured in one run
// on this machine (medians of several runs: a shared machine is noisy).
// Usage: kvt-bench KVT-CLI KVT-SIM PTY-FLOOR PYSERIAL-SCRIPT [--quick]
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Run {
  double seconds = 0;
  long peakKilobytes = 0;
  int status = -1;
};

// Runs `argv` with standard output to /dev/null; wall time and the child's peak RSS.
Run runProgram(const std::vector<std::string>& argv, const std::string& workFolder) {
  std::vector<char*> pointers;
  for (const std::string& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(workFolder.c_str()) != 0) _exit(127);
    if (!freopen("/dev/null", "w", stdout)) _exit(127);
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  Run run;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakKilobytes = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The median of `times` runs (the peak RSS is the largest seen).
Run median(const std::vector<std::string>& argv, const std::string& folder, int times) {
  std::vector<Run> runs;
  for (int i = 0; i < times; ++i) runs.push_back(runProgram(argv, folder));
  std::sort(runs.begin(), runs.end(),
            [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  Run middle = runs[runs.size() / 2];
  for (const Run& run : runs)
    middle.peakKilobytes = std::max(middle.peakKilobytes, run.peakKilobytes);
  for (const Run& run : runs) {
    if (run.status != 0) middle.status = run.status;
  }
  return middle;
}

void row(const std::string& figure, const std::string& value, const std::string& ratio,
         const std::string& target) {
  std::printf("| %-44s | %-22s | %-34s | %-22s |\n", figure.c_str(), value.c_str(), ratio.c_str(),
              target.c_str());
  std::fflush(stdout);
}

std::string number(double value, const char* format) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// A file of `lines` SR lines, or, beyond a million, a loop that runs a million-line body.
std::string srScript(const fs::path& folder, long lines) {
  const fs::path path = folder / ("sr" + std::to_string(lines) + ".scf");
  if (fs::exists(path)) return path.string();
  std::ofstream file(path);
  for (long i = 0; i < lines; ++i) {
    static const char* hex = "0123456789ABCDEF";
    file << "SR 19 " << hex[(i >> 4) & 15] << hex[i & 15] << '\n';
  }
  return path.string();
}

struct Tools {
  std::string cli, sim, floor, pyserial;
  fs::path folder;
  bool quick = false;
};

void simRunFigures(const Tools& tools) {
  for (long lines : {10'000L, 100'000L, 1'000'000L, 10'000'000L}) {
    if (tools.quick && lines > 100'000) break;
    const std::string script = srScript(tools.folder, lines);
    const Run run = median({tools.cli, "--sim", "run", script}, tools.folder.string(),
                           lines >= 10'000'000 ? 1 : 3);
    const double rate = static_cast<double>(lines) / run.seconds;
    row("--sim run, " + std::to_string(lines) + " SR lines", number(rate / 1e6, "%.2f M lines/s"),
        "peak RSS " + number(run.peakKilobytes / 1024.0, "%.1f MB"), ">= 2 M/s, RSS < 8 MB");
    fs::remove(script);
  }
}

void testLogFigures(const Tools& tools) {
  const long lines = 100'000;
  const std::string script = srScript(tools.folder, lines);
  const Run plain = median({tools.cli, "--sim", "run", script}, tools.folder.string(), 3);
  const char* names[] = {"I2C .atf", "SPI .atf", "I2C .atp", "SPI .atp"};
  for (int flavour = 0; flavour < 4; ++flavour) {
    const fs::path config = tools.folder / "testlog.cfg";
    std::ofstream(config) << "0\n[TestLog]\nInterface=" << flavour % 2
                          << "\nI2CAddress=81\nOutputFormat=" << flavour / 2
                          << "\nOutputFile=patterns.out\n";
    const Run run =
        median({tools.cli, "--sim", "--config", config.string(), "--testlog", "run", script},
               tools.folder.string(), 3);
    fs::remove(tools.folder / "patterns.out");
    row(std::string("--testlog ") + names[flavour] + ", 100k SR lines",
        number(lines / run.seconds / 1e3, "%.0f k lines/s"),
        number(run.seconds / plain.seconds, "%.1fx plain run") + ", RSS " +
            number(run.peakKilobytes / 1024.0, "%.1f MB"),
        ">= 300 k/s");
  }
  const Run logged =
      median({tools.cli, "--sim", "--log", "log.txt", "run", script}, tools.folder.string(), 3);
  fs::remove(tools.folder / "log.txt");
  row("--log, 100k SR lines", number(lines / logged.seconds / 1e6, "%.2f M lines/s"),
      number(logged.seconds / plain.seconds, "%.2fx plain run"), "");
}

// 256 rounds of a loop whose label stands after 10000 comment lines, against one at the top.
void jumpFigures(const Tools& tools) {
  auto loop = [&](const std::string& name, int comments) {
    const fs::path path = tools.folder / name;
    std::ofstream file(path);
    file << "JMP LOOP\n";
    for (int i = 0; i < comments; ++i) file << "// filler line " << i << "\n";
    file << "::: LOOP\nINC ML0\nJNE ML0 0 LOOP\n";
    return path.string();
  };
  const std::string near = loop("near.scf", 0), far = loop("far.scf", 10000);
  const Run nearRun = median({tools.cli, "--sim", "run", near}, tools.folder.string(), 5);
  const Run farRun = median({tools.cli, "--sim", "run", far}, tools.folder.string(), 5);
  row("jump loop, label after 10000 lines", number(farRun.seconds * 1e3, "%.1f ms"),
      number(farRun.seconds / nearRun.seconds, "%.2fx the near label"), "<= 1.2x");
}

// kvt-sim on a pty: what it answers, as the first line of its standard output.
struct Simulator {
  pid_t pid = -1;
  std::string device;
};

Simulator startSimulator(const std::string& sim, const char* option = nullptr) {
  int out[2];
  if (pipe(out) != 0) return {};
  Simulator simulator;
  simulator.pid = fork();
  if (simulator.pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    execl(sim.c_str(), sim.c_str(), option, nullptr);
    _exit(127);
  }
  close(out[1]);
  char c = 0;
  while (read(out[0], &c, 1) == 1 && c != '\n') simulator.device += c;
  close(out[0]);
  return simulator;
}

// The two times kvt-pty-floor prints: open to the first echo, open to the end (microseconds).
bool floorTimes(const std::string& floor, const std::string& device, long count,
                std::vector<double>& first) {
  const std::string command = floor + " " + device + " " + std::to_string(count);
  std::FILE* out = popen(command.c_str(), "r");
  if (out == nullptr) return false;
  long long firstUs = 0, allUs = 0;
  const bool read = std::fscanf(out, "%lld %lld", &firstUs, &allUs) == 2;
  const bool ok = pclose(out) == 0 && read;
  if (ok) first.push_back(static_cast<double>(firstUs) * 1e-6);
  return ok;
}

double middle(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Each client does N transactions and none, in turn within each round, so a change of the
// machine's load meets all of them alike; a client's cost is the difference (its start-up and
// the opening of the port are in both and cancel out).
void ptyFigures(const Tools& tools) {
  const Simulator simulator = startSimulator(tools.sim);
  if (simulator.device.empty()) {
    row("pty transactions", "skipped", "kvt-sim did not start", "");
    return;
  }
  const long transactions = tools.quick ? 500 : 2000;
  const std::string script = srScript(tools.folder, transactions);
  const fs::path empty = tools.folder / "empty.scf";
  std::ofstream(empty) << "// nothing\n";
  const std::string folder = tools.folder.string(), count = std::to_string(transactions);
  std::vector<double> cli, floor, python, firstEcho;
  bool pythonThere = true;
  for (int round = 0; round < 5; ++round) {
    auto cost = [&folder](std::vector<std::string> full, std::vector<std::string> none) {
      return runProgram(full, folder).seconds - runProgram(none, folder).seconds;
    };
    cli.push_back(cost({tools.cli, "--port", simulator.device, "run", script},
                       {tools.cli, "--port", simulator.device, "run", empty.string()}));
    floor.push_back(
        cost({tools.floor, simulator.device, count}, {tools.floor, simulator.device, "0"}));
    const std::vector<std::string> py = {"/usr/bin/python3", tools.pyserial, simulator.device};
    const Run pyNone = runProgram({py[0], py[1], py[2], "0"}, folder);
    pythonThere = pyNone.status != 3;
    if (pythonThere)
      python.push_back(runProgram({py[0], py[1], py[2], count}, folder).seconds - pyNone.seconds);
  }
  for (int i = 0; i < 11; ++i) floorTimes(tools.floor, simulator.device, 1, firstEcho);
  const double perCli = middle(cli) / transactions * 1e6;
  const std::string peer = pythonThere ? number(middle(cli) / middle(python), "%.2fx pyserial")
                                       : "pyserial skipped (not installed)";
  row("pty, " + std::to_string(transactions) + " register writes (kvt-cli)",
      number(perCli, "%.0f us each"),
      number(middle(cli) / middle(floor), "%.2fx C floor") + ", " + peer,
      "<= 1.2x floor, < pyserial");
  row("pty, C floor (write()/read())", number(middle(floor) / transactions * 1e6, "%.0f us each"),
      "", "");
  row("kvt-sim turnaround: open to first echo", number(middle(firstEcho) * 1e3, "%.2f ms"),
      "C client, one transaction", "< 2 ms");

  // Back-to-back short kvt-cli sessions; kvt-cli start-up alone is their floor.
  const Run session =
      median({tools.cli, "--port", simulator.device, "exec", "GR 37"}, tools.folder.string(), 11);
  const Run startup = median({tools.cli, "--version"}, tools.folder.string(), 11);
  row("kvt-cli session (exec GR 37)", number(session.seconds * 1e3, "%.1f ms"),
      number(session.seconds / startup.seconds, "%.1fx kvt-cli start-up"), "");
  row("kvt-cli start-up (--version)", number(startup.seconds * 1e3, "%.1f ms"), "", "");
  kill(simulator.pid, SIGTERM);
  waitpid(simulator.pid, nullptr, 0);
}

// A paced kvt-sim at 115200: 10000 register writes should take the line's own time, 3 bytes of
// 86.8 us each. kvt-cli's start-up and rate switch are measured with an empty script and taken
// off.
void paceFigures(const Tools& tools) {
  const Simulator simulator = startSimulator(tools.sim, "--pace");
  if (simulator.device.empty()) {
    row("kvt-sim --pace", "skipped", "kvt-sim did not start", "");
    return;
  }
  const long lines = 10'000;
  const std::string script = srScript(tools.folder, lines);
  const fs::path empty = tools.folder / "empty.scf";
  std::ofstream(empty) << "// nothing\n";
  const std::vector<std::string> cli = {tools.cli, "--port", simulator.device,
                                        "--baud",  "115200", "run"};
  auto with = [&cli](const std::string& file) {
    std::vector<std::string> argv = cli;
    argv.push_back(file);
    return argv;
  };
  const Run full = median(with(script), tools.folder.string(), 3);
  const Run start = median(with(empty.string()), tools.folder.string(), 3);
  const double lineSeconds = lines * 3 * 10.0 / 115200;
  const double seconds = full.seconds - start.seconds;
  row("kvt-sim --pace, 10000 SR lines at 115200", number(seconds, "%.3f s"),
      number(seconds / lineSeconds, "%.3fx the line's 2.604 s") +
          (full.status != 0 ? " (run failed)" : ""),
      "within 5% (0.95-1.05x)");
  kill(simulator.pid, SIGTERM);
  waitpid(simulator.pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::cerr << "usage: kvt-bench KVT-CLI KVT-SIM PTY-FLOOR PYSERIAL-SCRIPT [--quick]\n";
    return 2;
  }
  Tools tools{fs::absolute(argv[1]).string(), fs::absolute(argv[2]).string(),
              fs::absolute(argv[3]).string(), fs::absolute(argv[4]).string(),
              fs::temp_directory_path() / ("kvt-bench-" + std::to_string(getpid()))};
  tools.quick = argc > 5 && std::string(argv[5]) == "--quick";
  fs::create_directories(tools.folder);
  row("figure", "value", "against peer / floor", "target");
  row("--------------------------------------------", "----------------------",
      "----------------------------------", "----------------------");
  simRunFigures(tools);
  testLogFigures(tools);
  jumpFigures(tools);
  ptyFigures(tools);
  paceFigures(tools);
  fs::remove_all(tools.folder);
  return 0;
}
