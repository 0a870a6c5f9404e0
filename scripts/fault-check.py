#!/usr/bin/env python3
"""Deliberate faults against the native test suite.

Each fault of scripts/faults.list names a text that occurs exactly once in
the sources under src/ (wherever the file lies now) and what it becomes: a
compare turned around, a key renamed, a line deleted. For every fault the
script applies it, rebuilds incrementally in a build directory of its own,
runs the native CTest suite and restores the file, always (also on Ctrl-C
or SIGTERM). A fault is "caught" when at least one test fails, "missed"
when every test passes, and "does not build" when the build fails (such an
entry is worth replacing by one that compiles).

  scripts/fault-check.py                 every fault of the list
  scripts/fault-check.py ini- lookup-    the faults whose names start so
  scripts/fault-check.py --list          the names, without running anything
  scripts/fault-check.py --generated [--seed N] [--count K] [ID|PATH-PATTERN...]
                                         K faults made mechanically from the
                                         sources (scripts/mutants.py), run
                                         against the fast tests only

With --generated a fault is "killed", "survived" or "stillborn" (does not
build); a survivor whose id docs/fault-check.md lists as equivalent (no
input can tell it from the original) is counted apart, and the summary
gives the rate of killed faults among the others. The fast tests are the
CTest labels unit, posix, gui and faults (the fake-TeX run is a posix test;
real TeX and Wine are left out); the
build directory defaults to build-mutants, configured without optimisation
so that each rebuild is quick.

Options: --build DIR (default build-faults, or build-mutants), --faults FILE, --exclude-label
REGEX (CTest labels left out; default: none), --jobs N (default 2),
--timeout SECONDS per test (default 120), --no-baseline (skip the check that
the suite passes without a fault), --report FILE (the result lines, also
written to DIR/fault-results.txt), --resume FILE (take the outcome of each
fault that an earlier, interrupted run printed to FILE).

The list's format, one fault per block:

  [name] what the fault does
    - text to find (one line per "- ", joined with line breaks)
    + its replacement (one line per "+ "; none: the text is deleted)
"""

import argparse
import fnmatch
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SOURCE_SUFFIXES = {".c", ".cc", ".cpp", ".cxx", ".h", ".hh", ".hpp", ".inc"}
sys.path.insert(0, str(Path(__file__).resolve().parent))
import mutants  # noqa: E402

# Where generated faults are made, and the tests that judge them.
GENERATED_DIRECTORIES = ["src/core", "src/platform/posix", "src/cli", "src/qt"]
FAST_LABELS = "unit|posix|gui|faults"
EQUIVALENT_ROW = re.compile(r"^\|\s*`([0-9a-f]{8})`\s*\|")


class Fault:
    def __init__(self, name, description, line):
        self.name = name
        self.description = description
        self.line = line
        self.find = []
        self.replace = []

    @property
    def find_text(self):
        return "\n".join(self.find)

    @property
    def replace_text(self):
        return "\n".join(self.replace)


def read_faults(path):
    faults = []
    current = None
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not raw.strip() or raw.lstrip().startswith("#"):
            continue
        header = re.match(r"^\[([^\]]+)\]\s*(.*)$", raw)
        if header:
            current = Fault(header.group(1), header.group(2), number)
            faults.append(current)
            continue
        body = re.match(r"^\s+([-+]) ?(.*)$", raw)
        if not body or current is None:
            sys.exit(f"{path}:{number}: neither a [name] line nor a '- '/'+ ' line")
        (current.find if body.group(1) == "-" else current.replace).append(body.group(2))
    names = [f.name for f in faults]
    for fault in faults:
        if not fault.find:
            sys.exit(f"{path}:{fault.line}: [{fault.name}] has no text to find")
        if names.count(fault.name) > 1:
            sys.exit(f"{path}:{fault.line}: [{fault.name}] is named twice")
    return faults


def source_files():
    for directory, _, names in os.walk(ROOT / "src"):
        for name in sorted(names):
            path = Path(directory) / name
            if path.suffix in SOURCE_SUFFIXES:
                yield path


def locate(fault):
    """The one file that holds the fault's text; None and why, otherwise."""
    hits = []
    for path in source_files():
        count = path.read_text(encoding="utf-8").count(fault.find_text)
        hits.extend([path] * count)
    if len(hits) == 1:
        return hits[0], ""
    if not hits:
        return None, "text not found under src/"
    places = ", ".join(sorted({str(p.relative_to(ROOT)) for p in hits}))
    return None, f"text found {len(hits)} times ({places})"


class Restorer:
    """Keeps the original of the file under change, on disk as well, so that
    even a killed run is undone by the next one."""

    def __init__(self, build):
        self.saved = build / "fault-original"
        self.target = build / "fault-target"
        self.path = None
        self.original = None

    def recover(self):
        if self.saved.exists() and self.target.exists():
            path = Path(self.target.read_text(encoding="utf-8"))
            path.write_bytes(self.saved.read_bytes())
            print(f"restored {path} from an earlier run that did not finish")
        self.saved.unlink(missing_ok=True)
        self.target.unlink(missing_ok=True)

    def apply(self, path, text, replacement):
        original = path.read_bytes()
        self.write(path, original.replace(text.encode("utf-8"), replacement.encode("utf-8"), 1))

    def write(self, path, changed):
        self.original = path.read_bytes()
        self.saved.write_bytes(self.original)
        self.target.write_text(str(path), encoding="utf-8")
        self.path = path
        path.write_bytes(changed)

    def restore(self):
        if self.path is not None:
            self.path.write_bytes(self.original)
            self.path = None
        self.saved.unlink(missing_ok=True)
        self.target.unlink(missing_ok=True)


def stop_on_signal(number, frame):
    raise KeyboardInterrupt


HUNG = "hung"


def run(command, log, seconds=None):
    """The command's status, or HUNG when it ran longer than `seconds`: then
    its whole process group is killed (CTest stops a test that runs too long
    but waits for the output of what that test started)."""
    with open(log, "w", encoding="utf-8") as out:
        process = subprocess.Popen(command, stdout=out, stderr=subprocess.STDOUT, cwd=ROOT, start_new_session=True)
        try:
            return process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            return HUNG
        except BaseException:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            raise


def build(args):
    return run(["cmake", "--build", str(args.build), "-j", str(args.jobs)], args.build / "fault-build.log") == 0


def failed_tests(args):
    """The names of the tests that failed; None when CTest found no tests."""
    command = ["ctest", "--test-dir", str(args.build), "-j", str(args.jobs), "--timeout", str(args.timeout),
               "--no-tests=error"]
    if args.generated:
        # One failing test is enough to kill a fault; a fault that makes a
        # test loop costs one timeout, not one for every test.
        command += ["-L", FAST_LABELS, "--stop-on-failure"]
    if args.exclude_label:
        command += ["-LE", args.exclude_label]
    log = args.build / "fault-ctest.log"
    status = run(command, log, seconds=args.timeout * 4)
    if status == HUNG:
        return ["(the tests hung)"]
    text = log.read_text(encoding="utf-8", errors="replace")
    if "No tests were found" in text:
        return None
    # "  12 - Rules/Suite.Case/Linux  # GetParam() = false (Failed)"
    failed = [name.split("  #")[0] for name in re.findall(r"^\s*\d+ - (.*) \([^()]*\)$", text, re.MULTILINE)]
    if status != 0 and not failed:
        failed = ["(ctest ended with status %d)" % status]
    return failed


def prepare(args, configure_flags):
    """Configures and builds the fault build directory and checks that the
    suite passes without a fault; returns the restorer."""
    os.environ.setdefault("XDG_RUNTIME_DIR", f"/tmp/kestro-faults-runtime-{os.getuid()}")
    os.makedirs(os.environ["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    args.build.mkdir(parents=True, exist_ok=True)
    restorer = Restorer(args.build)
    restorer.recover()
    signal.signal(signal.SIGTERM, stop_on_signal)

    if not (args.build / "CMakeCache.txt").exists():
        configure = ["cmake", "-S", str(ROOT), "-B", str(args.build), "-DKESTRO_BUILD_BENCH=OFF"] + configure_flags
        if run(configure, args.build / "fault-configure.log") != 0:
            sys.exit(f"configuring failed: see {args.build / 'fault-configure.log'}")
    if not build(args):
        sys.exit(f"the tree does not build without a fault: see {args.build / 'fault-build.log'}")
    if not args.no_baseline:
        failed = failed_tests(args)
        if failed is None or failed:
            sys.exit("the suite does not pass without a fault: " + ", ".join(failed or ["no tests found"]))
    return restorer


def judge(args, restorer, path, changed):
    """Builds and tests the tree with `path` changed to `changed`; the
    outcome ("caught", "missed", "does not build") and its detail."""
    restorer.write(path, changed)
    try:
        if not build(args):
            return "does not build", ""
        failed = failed_tests(args)
        if failed is None:
            return "does not build", "(no tests found)"
        if failed:
            return "caught", f"{len(failed)}: " + " ".join(failed)
        return "missed", ""
    finally:
        restorer.restore()


def earlier_outcomes(path, words):
    """What an earlier run printed for each fault: "[n/N] word name ..."."""
    if path is None:
        return {}
    back = {word: outcome for outcome, word in (words or {}).items()}
    found = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        m = re.match(r"^\[\d+/\d+\] (killed|survived|stillborn|caught|missed|does not build)\s+(\S+)\s+\S+"
                     r"(?:\s+\S+)*?(?:  (.*))?$", line)
        if m and back.get(m.group(1), m.group(1)) in ("caught", "missed", "does not build"):
            found[m.group(2)] = (back.get(m.group(1), m.group(1)), m.group(3) or "")
    return found


def run_all(args, restorer, items, report_path, summarise, words=None):
    """Judges each (name, path, changed bytes, shown text) in turn; writes
    the result lines and the summary. Returns the outcomes."""
    results = []
    started = time.time()
    earlier = earlier_outcomes(args.resume, words)
    try:
        for number, (name, path, changed, shown) in enumerate(items, 1):
            if name in earlier:
                outcome, detail = earlier[name]
            else:
                outcome, detail = judge(args, restorer, path, changed)
            word = (words or {}).get(outcome, outcome)
            line = f"{word:15} {name:28} {shown}  {detail}".rstrip()
            results.append((outcome, name, line))
            print(f"[{number}/{len(items)}] {line}", flush=True)
    except KeyboardInterrupt:
        print("interrupted; the file under change is restored", file=sys.stderr)
    finally:
        restorer.restore()
    summary = summarise(results, time.time() - started)
    print(summary)
    report_path.write_text("\n".join(line for _, _, line in results) + "\n" + summary + "\n", encoding="utf-8")
    # The last build held a fault; leave the tree's own build behind.
    build(args)
    return results


def listed_faults(args):
    faults = read_faults(args.faults)
    if args.patterns:
        chosen = [f for f in faults
                  if any(fnmatch.fnmatch(f.name, p) or f.name.startswith(p) for p in args.patterns)]
        if not chosen:
            sys.exit("no fault matches " + " ".join(args.patterns))
        faults = chosen
    # Every entry must name one place before anything is changed.
    items = []
    problems = []
    for fault in faults:
        path, why = locate(fault)
        if path is None:
            problems.append(f"{args.faults}:{fault.line}: [{fault.name}] {why}")
        else:
            original = path.read_bytes()
            changed = original.replace(fault.find_text.encode("utf-8"), fault.replace_text.encode("utf-8"), 1)
            items.append((fault.name, path, changed, str(path.relative_to(ROOT))))
        if args.list:
            where = path.relative_to(ROOT) if path else "?"
            print(f"{fault.name:28} {str(where):42} {fault.description}")
    if problems:
        sys.exit("\n".join(problems))
    return items


def generated_faults(args):
    sampled = mutants.sample(ROOT, GENERATED_DIRECTORIES, SOURCE_SUFFIXES, args.seed, args.count)
    if args.patterns:
        # Some of the sample only: by id, or by a path pattern.
        sampled = [m for m in sampled
                   if any(m.id.startswith(p) or fnmatch.fnmatch(m.path, p) for p in args.patterns)]
    items = []
    for mutant in sampled:
        path = ROOT / mutant.path
        text = path.read_text(encoding="utf-8")
        shown = f"{mutant.path}:{mutant.line} {mutant.kind} {mutant.describe()}"
        items.append((mutant.id, path, mutant.apply(text).encode("utf-8"), shown))
        if args.list:
            print(f"{mutant.id}  {shown}")
    return items


def equivalent_ids(path):
    """The ids of the generated faults that the document names equivalent."""
    if not path.exists():
        return set()
    return {m.group(1) for line in path.read_text(encoding="utf-8").splitlines()
            if (m := EQUIVALENT_ROW.match(line))}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("patterns", nargs="*", help="fault names or name prefixes (shell patterns allowed)")
    parser.add_argument("--build", type=Path)
    parser.add_argument("--faults", type=Path, default=ROOT / "scripts" / "faults.list")
    parser.add_argument("--generated", action="store_true", help="faults made from the sources, not the list")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--count", type=int, default=300)
    parser.add_argument("--equivalents", type=Path, default=ROOT / "docs" / "fault-check.md")
    parser.add_argument("--exclude-label", default="")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=120)
    parser.add_argument("--resume", type=Path, help="take the outcomes an earlier run printed to this file")
    parser.add_argument("--no-baseline", action="store_true")
    parser.add_argument("--report", type=Path)
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args()
    if args.build is None:
        args.build = ROOT / ("build-mutants" if args.generated else "build-faults")
    args.build = args.build.resolve()

    items = generated_faults(args) if args.generated else listed_faults(args)
    if args.list:
        return 0

    if args.generated:
        # No optimisation and no debug information: each fault rebuilds in
        # a fraction of the time; the tests judge behaviour, which is the same.
        restorer = prepare(args, ["-DCMAKE_BUILD_TYPE=", "-DCMAKE_CXX_FLAGS=-O0 -g0"])
        equivalent = equivalent_ids(args.equivalents)

        def summarise(results, seconds):
            outcome = {name: o for o, name, _ in results}
            killed = sum(1 for o in outcome.values() if o == "caught")
            stillborn = sum(1 for o in outcome.values() if o == "does not build")
            missed = [name for name, o in outcome.items() if o == "missed"]
            same = [name for name in missed if name in equivalent]
            survived = len(missed) - len(same)
            rate = killed / (killed + survived) if killed + survived else 1.0
            return (f"{len(results)} generated faults (seed {args.seed}): {killed} killed, {survived} survived, "
                    f"{len(same)} equivalent, {stillborn} stillborn; killed among the non-equivalent: "
                    f"{rate:.3f} ({seconds:.0f} s)")

        words = {"caught": "killed", "missed": "survived", "does not build": "stillborn"}
        results = run_all(args, restorer, items, args.report or args.build / "generated-results.txt", summarise,
                          words)
        survivors = [name for o, name, _ in results if o == "missed" and name not in equivalent]
        return 0 if not survivors else 1

    restorer = prepare(args, ["-DCMAKE_BUILD_TYPE=RelWithDebInfo"])

    def summarise(results, seconds):
        counts = {o: sum(1 for r in results if r[0] == o) for o in ("caught", "missed", "does not build")}
        return (f"{len(results)} faults: {counts['caught']} caught, {counts['missed']} missed, "
                f"{counts['does not build']} do not build ({seconds:.0f} s)")

    results = run_all(args, restorer, items, args.report or args.build / "fault-results.txt", summarise)
    return 0 if all(o == "caught" for o, _, _ in results) else 1


if __name__ == "__main__":
    sys.exit(main())
