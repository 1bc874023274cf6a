// Times lockprobe and holdview on large generated graphs, side by side with a
// second pair of programs (by default the plain scanf/printf/malloc versions),
// and checks that both sides print the same bytes.
//
//   run_bench [--runs N] [--against LOCKPROBE HOLDVIEW]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int NODES_PER_KIND = 100;
constexpr int EDGE_COUNTS[] = {1'000'000, 5'000'000};

struct measurement {
  double seconds;
  long peak_kib;
};

struct program_pair {
  std::string lockprobe;
  std::string holdview;
};

void append_number(std::string& text, int value) {
  char digits[12];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  text.append(digits, end);
}

// Random request and allocation edges that keep the graph acyclic (nodes are
// ordered p0 < r0 < p1 < r1 < ...), so every check walks every edge; the
// claim edge from the last resource to process 0 then closes a cycle.
std::string generate_input(int edges) {
  std::mt19937_64 random(edges);
  std::uniform_int_distribution<int> coin(0, 1);
  std::string text = "100 100 " + std::to_string(edges) + "\n";
  for (int i = 0; i < edges; ++i) {
    int u = 0;
    int v = 0;
    if (coin(random) == 0) {
      u = std::uniform_int_distribution<int>(0, NODES_PER_KIND - 1)(random);
      v = NODES_PER_KIND + std::uniform_int_distribution<int>(u, NODES_PER_KIND - 1)(random);
    } else {
      const int r = std::uniform_int_distribution<int>(0, NODES_PER_KIND - 2)(random);
      u = NODES_PER_KIND + r;
      v = std::uniform_int_distribution<int>(r + 1, NODES_PER_KIND - 1)(random);
    }
    append_number(text, u);
    text += ' ';
    append_number(text, v);
    text += '\n';
  }
  return text + "199 0\n";
}

std::string input_file(int edges) {
  std::string path = "edges-" + std::to_string(edges) + ".txt";
  if (access(path.c_str(), R_OK) != 0) {
    std::ofstream(path, std::ios::binary) << generate_input(edges);
  }
  return path;
}

measurement run_once(const std::string& program, const std::string& input,
                     const std::string& output) {
  // Freeing the last run's output can take long; it is not part of this run.
  unlink(output.c_str());
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(input.c_str(), O_RDONLY);
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0) _exit(127);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "run_bench: %s failed on %s\n", program.c_str(), input.c_str());
    std::exit(1);
  }
  // Puts the output on disk before the next run, so that no run pays for
  // writing back what the one before it wrote.
  const int written = open(output.c_str(), O_WRONLY);
  fdatasync(written);
  close(written);
  return {elapsed.count(), usage.ru_maxrss};
}

measurement median(std::vector<measurement> runs) {
  std::sort(runs.begin(), runs.end(),
            [](const measurement& a, const measurement& b) { return a.seconds < b.seconds; });
  measurement middle = runs[runs.size() / 2];
  for (const measurement& run : runs) middle.peak_kib = std::max(middle.peak_kib, run.peak_kib);
  return middle;
}

std::string contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void compare(const char* name, const std::string& ours, const std::string& theirs, int edges,
             int runs) {
  const std::string input = input_file(edges);
  std::vector<measurement> our_runs;
  std::vector<measurement> their_runs;
  for (int i = 0; i < runs; ++i) {
    our_runs.push_back(run_once(ours, input, "out-ours.txt"));
    their_runs.push_back(run_once(theirs, input, "out-theirs.txt"));
  }
  const bool same = contents("out-ours.txt") == contents("out-theirs.txt");
  const measurement a = median(our_runs);
  const measurement b = median(their_runs);
  const auto per_edge = [edges](const measurement& m) {
    return static_cast<double>(m.peak_kib) * 1024.0 / edges;
  };
  std::printf("%-9s %9d  %8.3f %8.1f %8.1f   %8.3f %8.1f %8.1f   %6.1fx %6.2f   %s\n", name, edges,
              a.seconds, edges / a.seconds / 1e6, per_edge(a), b.seconds, edges / b.seconds / 1e6,
              per_edge(b), b.seconds / a.seconds, per_edge(a) / per_edge(b),
              same ? "identical" : "DIFFERENT");
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  program_pair ours{LOCKPROBE_PATH, HOLDVIEW_PATH};
  program_pair theirs{PLAIN_LOCKPROBE_PATH, PLAIN_HOLDVIEW_PATH};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--against" && i + 2 < argc) {
      theirs = {argv[i + 1], argv[i + 2]};
      i += 2;
    } else {
      std::fprintf(stderr, "usage: run_bench [--runs N] [--against LOCKPROBE HOLDVIEW]\n");
      return 2;
    }
  }
  std::printf("median of %d runs; against %s and %s\n", runs, theirs.lockprobe.c_str(),
              theirs.holdview.c_str());
  std::printf("%-9s %9s  %8s %8s %8s   %8s %8s %8s   %7s %6s   %s\n", "program", "edges", "seconds",
              "Medge/s", "B/edge", "seconds", "Medge/s", "B/edge", "faster", "memory", "output");
  for (const int edges : EDGE_COUNTS) {
    compare("lockprobe", ours.lockprobe, theirs.lockprobe, edges, runs);
    compare("holdview", ours.holdview, theirs.holdview, edges, runs);
  }
  return 0;
}
