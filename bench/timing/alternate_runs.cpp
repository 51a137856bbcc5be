// Times whole processes against each other, taking turns: every round runs
// each command once, the order reversed every other round, so that each
// command sees the same minutes and the same load as its peer and neither
// always runs right after the other. (Timing one command's runs and then the
// other's lets the machine drift between the two blocks, and on a shared
// machine that drift is as large as the difference being measured.)
//
// Usage: tvx_alternate RUNS CSV_FILE [--remove FILE]... COMMAND...
//   Each COMMAND is one argument: a program path and its arguments separated
//   by spaces. The programs run with their output sent to /dev/null; FILE is
//   removed before every run. Three rounds warm up and are not counted.
// Writes CSV_FILE with a row per command: command, mean, stddev, median,
// user, system, min, max (seconds; user and system are means), and prints
// the medians. Fails when a program cannot start or ends with a status
// other than 0.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kWarmupRounds = 3;

struct Command {
  std::string text;
  std::vector<std::string> words;
  std::vector<double> wall, user, system;  // seconds, one per counted run
};

std::vector<std::string> splitWords(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// Runs the command once; false (with a message) when it fails.
bool runOnce(Command& command, bool counted) {
  std::vector<char*> argv;
  for (auto& word : command.words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    std::cerr << "cannot start " << command.text << ": " << std::strerror(spawned) << '\n';
    return false;
  }
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      std::cerr << "cannot wait for " << command.text << ": " << std::strerror(errno) << '\n';
      return false;
    }
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::cerr << command.text << " failed (status " << status << ")\n";
    return false;
  }
  if (counted) {
    command.wall.push_back(wall.count());
    command.user.push_back(seconds(usage.ru_utime));
    command.system.push_back(seconds(usage.ru_stime));
  }
  return true;
}

double mean(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size()); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double stddev(const std::vector<double>& v) {
  if (v.size() < 2) return 0;
  const double m = mean(v);
  double sum = 0;
  for (double x : v) sum += (x - m) * (x - m);
  return std::sqrt(sum / static_cast<double>(v.size() - 1));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: tvx_alternate RUNS CSV_FILE [--remove FILE]... COMMAND...\n";
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  if (runs < 1) {
    std::cerr << "RUNS must be a positive number\n";
    return 2;
  }
  const std::string csvFile = argv[2];
  std::vector<std::string> removed;
  std::vector<Command> commands;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--remove") == 0 && i + 1 < argc) {
      removed.emplace_back(argv[++i]);
      continue;
    }
    Command command{argv[i], splitWords(argv[i]), {}, {}, {}};
    if (command.words.empty()) {
      std::cerr << "an empty command\n";
      return 2;
    }
    commands.push_back(std::move(command));
  }
  if (commands.empty()) {
    std::cerr << "no command to time\n";
    return 2;
  }

  for (int round = 0; round < kWarmupRounds + runs; ++round) {
    for (std::size_t turn = 0; turn < commands.size(); ++turn) {
      Command& command = commands[round % 2 ? commands.size() - 1 - turn : turn];
      for (const std::string& file : removed) ::unlink(file.c_str());
      if (!runOnce(command, round >= kWarmupRounds)) return 1;
    }
  }

  std::ofstream csv(csvFile);
  csv << std::setprecision(9);
  csv << "command,mean,stddev,median,user,system,min,max\n";
  for (const Command& c : commands) {
    csv << c.text << ',' << mean(c.wall) << ',' << stddev(c.wall) << ',' << median(c.wall) << ',' << mean(c.user)
        << ',' << mean(c.system) << ',' << *std::min_element(c.wall.begin(), c.wall.end()) << ','
        << *std::max_element(c.wall.begin(), c.wall.end()) << '\n';
    std::fprintf(stderr, "  %-60s median %8.2f ms  mean %8.2f ms ± %.2f  [user %.2f ms, system %.2f ms]\n",
                 c.text.substr(0, 60).c_str(), median(c.wall) * 1e3, mean(c.wall) * 1e3, stddev(c.wall) * 1e3,
                 mean(c.user) * 1e3, mean(c.system) * 1e3);
  }
  csv.close();
  if (!csv) {
    std::cerr << "cannot write " << csvFile << '\n';
    return 1;
  }
  return 0;
}
