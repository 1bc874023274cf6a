// Times lockprobe and holdview on large generated graphs, side by side with a
// second pair of programs (by default the plain scanf/printf/malloc versions)
// and with the floor (reading every number and writing each pair as a
// listing line, as many bytes in all, without a graph), and checks that both
// sides print the same bytes.
//
//   run_bench [--runs N] [--against LOCKPROBE HOLDVIEW]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <utility>
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

// A source of random request and allocation edges that keep the graph acyclic
// (nodes are ordered p0 < r0 < p1 < r1 < ...), so every check walks every
// edge; the claim edge from the last resource to process 0 then closes a cycle.
struct acyclic_edges {
  std::mt19937_64 random;

  std::pair<int, int> next() {
    if (std::uniform_int_distribution<int>(0, 1)(random) == 0) {
      const int u = std::uniform_int_distribution<int>(0, NODES_PER_KIND - 1)(random);
      return {u,
              NODES_PER_KIND + std::uniform_int_distribution<int>(u, NODES_PER_KIND - 1)(random)};
    }
    const int r = std::uniform_int_distribution<int>(0, NODES_PER_KIND - 2)(random);
    return {NODES_PER_KIND + r,
            std::uniform_int_distribution<int>(r + 1, NODES_PER_KIND - 1)(random)};
  }
};

// Numbers as short as they come, one space or line break apart.
void generate_random(std::ostream& out, int edges) {
  acyclic_edges source{std::mt19937_64(edges)};
  out << "100 100 " << edges << "\n";
  std::string line;
  for (int i = 0; i < edges; ++i) {
    const auto [u, v] = source.next();
    line.clear();
    append_number(line, u);
    line += ' ';
    append_number(line, v);
    line += '\n';
    out << line;
  }
  out << "199 0\n";
}

// Sources with a sign or leading zeros now and then, targets anywhere in the
// 32-bit range, most of them naming no node, and runs of mixed whitespace.
void generate_signed_long(std::ostream& out, int edges) {
  constexpr const char* SPACES[] = {" ", "  ", "\t", " \t ", "\n", "\r\n", "\n\n", " \r\n"};
  acyclic_edges source{std::mt19937_64(edges)};
  std::mt19937_64 random(edges + 1);
  const auto pick = [&random](int count) {
    return std::uniform_int_distribution<int>(0, count - 1)(random);
  };
  std::uniform_int_distribution<int> any_target(std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max());
  out << "+100\t0100 \r\n" << edges << "\r\n";
  std::string text;
  for (int i = 0; i < edges; ++i) {
    const auto [u, node_target] = source.next();
    text.clear();
    const int v = pick(4) == 0 ? node_target : any_target(random);
    text += std::array<const char*, 4>{"", "+", "0", "+00"}[pick(4)];
    append_number(text, u);
    text += SPACES[pick(std::size(SPACES))];
    if (v >= 0 && pick(2) == 0) text += '+';
    append_number(text, v);
    text += SPACES[pick(std::size(SPACES))];
    out << text;
  }
  out << "199 -0\n";
}

struct input_kind {
  const char* name;
  void (*generate)(std::ostream& out, int edges);
};

constexpr input_kind INPUT_KINDS[] = {{"random", generate_random},
                                      {"signed", generate_signed_long}};

std::string input_file(const input_kind& kind, int edges) {
  std::string path = std::string("edges-") + kind.name + "-" + std::to_string(edges) + ".txt";
  if (access(path.c_str(), R_OK) != 0) {
    std::ofstream file(path, std::ios::binary);
    kind.generate(file, edges);
  }
  return path;
}

// Runs `command` with `input` as stdin and `output` as stdout; exits the
// benchmark when it fails.
measurement run_once(const std::vector<std::string>& command, const std::string& input,
                     const std::string& output) {
  // Freeing the last run's output can take long; it is not part of this run.
  unlink(output.c_str());
  std::vector<char*> argv;
  argv.reserve(command.size() + 1);
  for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(input.c_str(), O_RDONLY);
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0) _exit(127);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "run_bench: %s failed on %s\n", argv[0], input.c_str());
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

// Compares in small pieces: the benchmark itself stays small, since a child
// process's peak memory counts what its parent held when it was forked.
bool same_contents(const std::string& path_a, const std::string& path_b) {
  std::ifstream a(path_a, std::ios::binary);
  std::ifstream b(path_b, std::ios::binary);
  std::array<char, 1 << 16> piece_a;
  std::array<char, 1 << 16> piece_b;
  while (a && b) {
    a.read(piece_a.data(), piece_a.size());
    b.read(piece_b.data(), piece_b.size());
    if (a.gcount() != b.gcount() ||
        !std::equal(piece_a.begin(), piece_a.begin() + a.gcount(), piece_b.begin())) {
      return false;
    }
  }
  return a.eof() && b.eof();
}

// Times our program, the other side's and the floor in turn on one input, and
// prints a row of the table.
void compare(const char* name, const std::string& ours, const std::string& theirs,
             const input_kind& kind, int edges, int runs) {
  const std::string input = input_file(kind, edges);
  std::vector<measurement> our_runs;
  std::vector<measurement> their_runs;
  std::vector<measurement> floor_runs;
  for (int i = 0; i < runs; ++i) {
    our_runs.push_back(run_once({ours}, input, "out-ours.txt"));
    their_runs.push_back(run_once({theirs}, input, "out-theirs.txt"));
    const std::string bytes = std::to_string(std::filesystem::file_size("out-ours.txt"));
    const bool adjacency = std::string_view(name) == "holdview";
    floor_runs.push_back(
        run_once({FLOOR_PATH, bytes, adjacency ? "adjacency" : "listing"}, input, "out-floor.txt"));
  }
  const bool same = same_contents("out-ours.txt", "out-theirs.txt");
  const measurement a = median(our_runs);
  const measurement b = median(their_runs);
  const measurement floor = median(floor_runs);
  const auto per_edge = [edges](const measurement& m) {
    return static_cast<double>(m.peak_kib) * 1024.0 / edges;
  };
  std::printf("%-9s %-6s %8d  %7.3f %6.1f   %7.3f %6.1f   %6.1fx %6.2f   %7.3f %6.2fx   %s\n", name,
              kind.name, edges, a.seconds, per_edge(a), b.seconds, per_edge(b),
              b.seconds / a.seconds, per_edge(a) / per_edge(b), floor.seconds,
              a.seconds / floor.seconds, same ? "identical" : "DIFFERENT");
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
  std::printf("%-9s %-6s %8s  %7s %6s   %7s %6s   %7s %6s   %7s %7s   %s\n", "program", "input",
              "edges", "seconds", "B/edge", "plain s", "B/edge", "faster", "memory", "floor s",
              "/floor", "output");
  for (const input_kind& kind : INPUT_KINDS) {
    for (const int edges : EDGE_COUNTS) {
      compare("lockprobe", ours.lockprobe, theirs.lockprobe, kind, edges, runs);
      compare("holdview", ours.holdview, theirs.holdview, kind, edges, runs);
    }
  }
  return 0;
}
