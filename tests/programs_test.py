#!/usr/bin/env python3
# The programs end to end, for what only a real process shows: the exit
# status and stderr, prompts on a pipe, failed writes and memory limits; and
# Graphviz drawing what holddraw writes.
#
# Usage: programs_test.py LOCKPROBE HOLDVIEW HOLDDRAW [unittest arguments]
import os
import pathlib
import resource
import select
import signal
import subprocess
import sys
import tempfile
import unittest

LOCKPROBE, HOLDVIEW, HOLDDRAW = sys.argv[1:4]
COUNTS_PROMPT = b"Enter the number of processes, resources, and edges: "
EDGES_PROMPT = b"Enter the edges (resource allocation and request) in the format u v:\n"
CLAIM_PROMPT = b"Enter a claim edge to check if it creates a cycle (format u v): "
# Under AddressSanitizer a program needs more address space than any limit here.
SANITIZED = os.environ.get("SANITIZED") == "1"
KIB = 1 << 10
EXAMPLES = pathlib.Path(__file__).resolve().parent.parent / "examples"


# Limits for a program: two seconds of CPU, files up to `file_size` bytes, a
# write past which fails, and the address space given, so that a program gone
# wrong ends in seconds.
def limited(address_space=None, file_size=64 << 20):
    def set_limits():
        resource.setrlimit(resource.RLIMIT_CPU, (2, 2))
        resource.setrlimit(resource.RLIMIT_FSIZE, (file_size, file_size))
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        if address_space is not None:
            resource.setrlimit(resource.RLIMIT_AS, (address_space, address_space))

    return set_limits


# Runs `program` on `data` from a file, so that every read but the last
# fills a whole block.
def run(program, data, address_space=None, stdout=subprocess.PIPE, file_size=64 << 20, args=()):
    with tempfile.TemporaryFile() as stdin:
        stdin.write(data)
        stdin.seek(0)
        return subprocess.run([program, *args], stdin=stdin, stdout=stdout, stderr=subprocess.PIPE,
                              timeout=10, preexec_fn=limited(address_space, file_size))


class Programs(unittest.TestCase):
    def test_lockprobe_shows_each_prompt_before_waiting_on_a_pipe(self):
        with subprocess.Popen([LOCKPROBE], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, preexec_fn=limited()) as program:
            seen = b""

            def read_until(text):  # within five seconds
                nonlocal seen
                while not seen.endswith(text):
                    ready = select.select([program.stdout], [], [], 5)[0]
                    more = os.read(program.stdout.fileno(), 4096) if ready else b""
                    self.assertTrue(more, f"no {text!r} after {seen!r}")
                    seen += more

            for prompt, answer in [(COUNTS_PROMPT, b"2 2 3\n"), (EDGES_PROMPT, b"0 100\n100 1\n1 101\n"),
                                   (CLAIM_PROMPT, b"101 0\n"), (b"creates a cycle.\n", b"")]:
                read_until(prompt)
                program.stdin.write(answer)
                program.stdin.flush()
            program.stdin.close()
            self.assertEqual(program.wait(timeout=5), 0)
        self.assertEqual(seen, COUNTS_PROMPT + EDGES_PROMPT +
                         b"Processes:\n  0\n  1\n\nResources:\n  100\n  101\n\nRequest Edges:\n"
                         b"  0 -> 100\n  1 -> 101\n\nAllocation Edges:\n  100 -> 1\n\n"
                         b"The graph does not contain a cycle (Not deadlocked).\n" +
                         CLAIM_PROMPT + b"Adding the edge 101 -> 0 creates a cycle.\n")

    def test_bad_input_gets_one_line_on_stderr_and_holddraw_writes_nothing(self):
        # The input, the message after "program: ", and how many prompts
        # lockprobe wrote before it stopped.
        cases = [
            (b"", b"input ended before the number of processes", 1),
            (b"1 1 x3", b'expected the number of edges, found "x3"', 1),
            (b"-0002147483649 1 1",
             b'expected the number of processes, found out-of-range number "-2147483649"', 1),
            (b"150 1 0", b"at most 100 processes are supported, got 150", 1),
            (b"1 101 0", b"at most 100 resources are supported, got 101", 1),
            (b"1 1 3  0 100", b"input ended before edge 2 of 3", 2),
            (b"1 1 3  0 100  100", b"input ended in edge 2 of 3", 2),
            (b'1 1 1  0 \0\x7f\xe9"\\', b'expected edge 1 of 1, found "\\x00\\x7f\\xe9\\"\\\\"', 2),
            (b"1 1 1  " + b"x" * 25, b'expected edge 1 of 1, found "' + b"x" * 24 + b'..."', 2),
            # Under the memory limit: a huge edge count reserves nothing up front.
            (b"1 1 2000000000  0 100  100 0", b"input ended before edge 3 of 2000000000", 2),
            (b"1 1 1  0 100  100", b"input ended in the claim edge", 3),
            (b"1 1 1  0 100  free 0", b'expected the claim edge, found "free"', 3),
        ]
        # Where lockprobe's stdout ends: after its last prompt, on a line of its own.
        last_prompt = [COUNTS_PROMPT + b"\n", EDGES_PROMPT, CLAIM_PROMPT + b"\n"]
        limit = None if SANITIZED else 64 << 20
        for data, message, prompts in cases:
            with self.subTest(data=data[:40]):
                checked = run(LOCKPROBE, data, limit)
                self.assertTrue(checked.stdout.endswith(last_prompt[prompts - 1]), checked.stdout)
                self.assertEqual((checked.stderr, checked.returncode),
                                 (b"lockprobe: " + message + b"\n", 1))
                drawn = run(HOLDDRAW, data, limit)
                self.assertEqual((drawn.stdout, drawn.stderr, drawn.returncode),
                                 (b"", b"holddraw: " + message + b"\n", 1))
        self.assertEqual(run(LOCKPROBE, b"0 0 0 ").stderr,
                         b"lockprobe: input ended before the claim edge\n")

    def test_a_failed_write_is_reported(self):
        # A full device, and a file that takes the first 100 bytes of a write
        # and then fails.
        targets = [("/dev/full", b"No space left on device"),
                   (os.path.join(os.environ.get("TMPDIR", "/tmp"), f"written-{os.getpid()}"),
                    b"File too large")]
        for program in [LOCKPROBE, HOLDVIEW, HOLDDRAW]:
            for path, reason in targets:
                with open(path, "wb") as target:
                    got = run(program, b"1 1 1 0 100 0 0", stdout=target, file_size=100)
                self.assertEqual((got.stderr, got.returncode),
                                 (os.path.basename(program).encode() + b": write error: " + reason + b"\n", 1))
        os.remove(targets[1][0])

    def test_holdview_runs_out_of_memory_cleanly_and_holds_long_words_in_little(self):
        limit = None if SANITIZED else 12 << 20
        if not SANITIZED:
            full = run(HOLDVIEW, b"1 1 4000000\n" + b"0 100\n" * 4_000_000, limit)  # 16 MB of edges
            self.assertEqual((full.stdout, full.stderr, full.returncode),
                             (COUNTS_PROMPT + EDGES_PROMPT, b"holdview: out of memory\n", 1))
        part = 16 << 20
        zeros = run(HOLDVIEW, b"1 1 1  0 -" + b"0" * part + b"100", limit)
        self.assertTrue(zeros.stdout.endswith(b"Adjacency List:\n  0: -100 \n  100: \n"), zeros.stderr)
        cases = [(b"1" + b"0" * part, b'out-of-range number "1' + b"0" * 23 + b'..."'),
                 # then a whole block read after it while all three parts are held back
                 (b"-" * part + b"0" * part + b"1" * part + b" 5" * 40000, b'"' + b"-" * 24 + b'..."')]
        for edge, found in cases:
            self.assertEqual(run(HOLDVIEW, b"1 1 1  0 " + edge, limit).stderr,
                             b"holdview: expected edge 1 of 1, found " + found + b"\n")

    @unittest.skipIf(SANITIZED, "AddressSanitizer needs more address space")
    def test_holdview_prints_all_or_says_it_ran_out_of_memory_under_any_limit(self):
        for kib in range(2400, 3200, 16):
            got = run(HOLDVIEW, b"1 1 1 0 100", kib * KIB)
            if got.returncode == 127:  # too little to load the program at all
                continue
            whole = got.returncode == 0 and got.stdout.endswith(b"  0: 100 \n  100: \n")
            refused = (got.returncode, got.stderr) == (1, b"holdview: out of memory\n")
            self.assertTrue(whole or refused, f"{kib} KiB: {got}")


    def test_graphviz_draws_what_holddraw_writes_without_a_warning(self):
        inputs = [path.read_bytes() for path in EXAMPLES.glob("*.txt")]
        inputs += [b"2 1 6  0 100  0 -7  0 100  0 100  1 0  5 0", b"1 1 2  100 -2147483648  0 100  100 0",
                   b"3 2 5  0 100  100 1  1 101  101 0  2 100  0 0"]
        for data in inputs:
            for args in [(), ("--wait-for",)]:
                drawn = subprocess.run(["dot", "-Tsvg"], input=run(HOLDDRAW, data, args=args).stdout,
                                       capture_output=True, timeout=10)
                self.assertEqual((drawn.returncode, drawn.stderr), (0, b""), (data, args))

    def test_holddraw_says_what_it_takes_and_refuses_any_other_argument(self):
        # The arguments, the start of stdout, stderr and the exit status.
        cases = [(("--help",), b"Usage: holddraw [--wait-for]", b"", 0),
                 (("--wait",), b"", b'holddraw: unknown argument "--wait"; holddraw --help says what it takes\n', 2),
                 (("--wait-for", "x\ny"), b"", b'holddraw: unknown argument "x?y"; holddraw --help says what it takes\n', 2)]
        for args, out, err, status in cases:
            got = run(HOLDDRAW, b"1 1 1  0 100", args=args)
            self.assertEqual((got.stdout[:len(out) or len(got.stdout) + 1], got.stderr, got.returncode),
                             (out, err, status), args)


class LargestEdgeCount(unittest.TestCase):
    def test_lockprobe_reads_the_largest_edge_count(self):
        # 2147483647 edges, 8.6 GB of them; all but the last name no node.
        edges = "{ echo 1 1 2147483647; yes 2 2 | head -n 2147483646; echo 100 0 0 100; }"
        out = subprocess.run(f"{edges} | {LOCKPROBE} | tail -n 2", shell=True, check=True,
                             capture_output=True, timeout=120).stdout
        self.assertEqual(out, b"The graph does not contain a cycle (Not deadlocked).\n" +
                         CLAIM_PROMPT + b"Adding the edge 0 -> 100 creates a cycle.\n")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[4:])
