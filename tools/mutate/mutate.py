#!/usr/bin/env python3
"""Mutation testing: put single faults into a copy of the source tree, one at
a time, and see whether the test suites catch them.

    tools/mutate/mutate.py                      every mutation of the list
    tools/mutate/mutate.py --only core/model    those of one folder
    tools/mutate/mutate.py --only fire-dt,edit-undo-*   named ones
    tools/mutate/mutate.py --list               show the list and stop
    tools/mutate/mutate.py --matrix kills.jsonl every failing test of each
                                                mutation, one JSON line each

The work tree's files (git ls-files, with new files not yet added) are copied
once to build-mutate/tree and built once in build-mutate/build. For each
mutation the file is changed in the copy, the build is brought up to date,
the tests of the programs that were linked again are run with ctest, and the
file is put back, whatever happens. A mutation is killed when a test fails or
runs out of time, survives when they all pass, and is counted apart when the
compiler refuses it. Standard library only.
"""

import argparse
import fnmatch
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SCRATCH = os.path.join(ROOT, "build-mutate")
TREE = os.path.join(SCRATCH, "tree")
BUILD = os.path.join(SCRATCH, "build")
STAMP = os.path.join(SCRATCH, "baseline.json")
DEFAULT_LIST = os.path.join(ROOT, "tools", "mutate", "mutations.txt")

# The folders of src/ in the order of the table: the core's layers from the
# bottom up, the window program, the fan curve viewer, the batch tool.
FOLDERS = [
    "src/core/model", "src/core/analysis", "src/core/fire", "src/core/run", "src/core/checks", "src/core/scenario",
    "src/core/exchange", "src/core/escape", "src/core/calibration",
    "src/core/display", "src/core/edit", "src/core/control",
    "src/gui/app", "src/gui/results", "src/gui/dialogs", "src/gui/view", "src/gui/print",
    "src/vistrel", "src/cli",
]

# Test programs that start a program of the build rather than link its code:
# when the program is linked again, these suites run too.
STARTED_PROGRAMS = {
    "orvex-solve": ["orvex_cli_tests"],
    "orvex": ["orvex_gui_app_tests"],
}


class Mutation:
    def __init__(self, ident, path, description, before, after, lineno):
        self.ident = ident
        self.path = path
        self.description = description
        self.before = before
        self.after = after
        self.list_line = lineno
        self.problem = None  # why the entry is refused
        self.line = 0        # line of the snippet in its file
        self.result = None   # killed, survived, compiler
        self.detail = ""
        self.seconds = 0.0
        self.killers = []    # every failing test, with --matrix

    @property
    def folder(self):
        return folder_of(self.path)


def folder_of(path):
    parts = path.split("/")
    if len(parts) > 3 and parts[0] == "src" and parts[1] in ("core", "gui"):
        return "/".join(parts[:3])
    if len(parts) > 2:
        return "/".join(parts[:2])
    return parts[0]


def parse_list(path):
    """Reads the mutation list. An entry is

        [id] path/of/file.cpp
        what the mutation does, one or more lines
        - original text, one line of it after each "- " ("-" alone: an empty line)
        + its replacement, the same way (no "+" line: the text is dropped)

    Entries are separated by blank lines; lines starting with # outside the
    "-" and "+" lines are comments."""
    entries = []
    current = None
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")

    def close():
        if current is not None:
            m = Mutation(current["id"], current["path"], " ".join(current["what"]),
                         "\n".join(current["before"]), "\n".join(current["after"]),
                         current["line"])
            if not current["before"]:
                m.problem = "no original text (- lines)"
            entries.append(m)

    for number, raw in enumerate(lines, 1):
        header = re.match(r"^\[([^\]\s]+)\]\s+(\S+)\s*$", raw)
        if header:
            close()
            current = {"id": header.group(1), "path": header.group(2), "what": [],
                       "before": [], "after": [], "line": number}
            continue
        if raw.startswith("#"):
            continue
        if not raw.strip():
            if current is not None and (current["before"] or current["after"]):
                close()
                current = None
            continue
        if current is None:
            sys.exit(f"{path}:{number}: text outside an entry (an entry starts with [id] file)")
        if raw == "-" or raw.startswith("- "):
            if current["after"]:
                sys.exit(f"{path}:{number}: a - line after the + lines of [{current['id']}]")
            current["before"].append(raw[2:])
        elif raw == "+" or raw.startswith("+ "):
            current["after"].append(raw[2:])
        elif current["before"]:
            sys.exit(f"{path}:{number}: expected a - or + line in [{current['id']}]")
        else:
            current["what"].append(raw.strip())
    close()
    return entries


def check_entries(entries, root):
    """Refuses the entries whose snippet is not found exactly once, and
    repeated ids; notes the line of each snippet."""
    seen = {}
    for m in entries:
        if m.problem:
            continue
        if m.ident in seen:
            m.problem = f"id used before, at line {seen[m.ident]} of the list"
            continue
        seen[m.ident] = m.list_line
        full = os.path.join(root, m.path)
        if not os.path.isfile(full):
            m.problem = "no such file"
            continue
        with open(full, "rb") as f:
            text = f.read()
        before = m.before.encode("utf-8")
        count = text.count(before)
        if count != 1:
            m.problem = "original text not found" if count == 0 else f"original text found {count} times"
            continue
        if m.before == m.after:
            m.problem = "the replacement is the original text"
            continue
        m.line = text[: text.index(before)].count(b"\n") + 1


def selected(entries, patterns):
    if not patterns:
        return entries
    chosen = []
    for m in entries:
        for p in patterns:
            p = p.strip().rstrip("/")
            if not p:
                continue
            if fnmatch.fnmatchcase(m.ident, p):
                chosen.append(m)
                break
            for prefix in (p, "src/" + p):
                if m.path == prefix or m.path.startswith(prefix + "/"):
                    chosen.append(m)
                    break
            else:
                continue
            break
    return chosen


def run(command, cwd=None, env=None, capture=True):
    return subprocess.run(command, cwd=cwd, env=env, text=True, errors="replace",
                          stdout=subprocess.PIPE if capture else None,
                          stderr=subprocess.STDOUT if capture else None)


def tracked_files():
    out = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                         cwd=ROOT, check=True, stdout=subprocess.PIPE).stdout
    return sorted({p for p in out.decode("utf-8", "surrogateescape").split("\0") if p})


def sync_tree():
    """Brings the scratch copy up to the work tree, copying only the files that
    differ so that the build there stays incremental. Returns how many were
    copied or removed."""
    files = tracked_files()
    changed = 0
    for rel in files:
        src = os.path.join(ROOT, rel)
        dst = os.path.join(TREE, rel)
        if not os.path.isfile(src) or os.path.islink(src):
            continue
        if os.path.isfile(dst):
            if os.path.getsize(src) == os.path.getsize(dst):
                with open(src, "rb") as a, open(dst, "rb") as b:
                    if a.read() == b.read():
                        continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        # A fresh time stamp: a file changed back to an older version must
        # still be newer than the objects built from the copy it replaces.
        shutil.copyfile(src, dst)
        shutil.copymode(src, dst)
        changed += 1
    wanted = set(files)
    for folder, _, names in os.walk(TREE):
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), TREE)
            if rel not in wanted:
                os.remove(os.path.join(folder, name))
                changed += 1
    return changed


def configure():
    if os.path.isfile(os.path.join(BUILD, "build.ninja")):
        return
    command = ["cmake", "-S", TREE, "-B", BUILD, "-G", "Ninja",
               "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DORVEX_BUILD_BENCH=OFF"]
    if shutil.which("ccache"):
        command.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    result = run(command)
    if result.returncode != 0:
        sys.stdout.write(result.stdout)
        sys.exit("mutate: cmake could not configure the scratch build")


def build():
    return run(["cmake", "--build", BUILD, "-j2"])


def list_tests():
    """The tests ctest knows, as (number, name, program file)."""
    result = run(["ctest", "--test-dir", BUILD, "--show-only=json-v1"], capture=True)
    if result.returncode != 0:
        sys.stdout.write(result.stdout)
        sys.exit("mutate: ctest could not list the tests")
    data = json.loads(result.stdout[result.stdout.index("{"):])
    tests = []
    for number, test in enumerate(data.get("tests", []), 1):
        command = test.get("command") or [""]
        tests.append((number, test["name"], os.path.realpath(command[0])))
    return tests


def program_files(tests):
    """The programs whose relinking selects tests: the test programs and the
    programs they start."""
    files = {program for _, _, program in tests}
    for folder, _, names in os.walk(BUILD):
        for name in names:
            if name in STARTED_PROGRAMS:
                files.add(os.path.realpath(os.path.join(folder, name)))
    return files


def stamps(files):
    result = {}
    for f in files:
        try:
            result[f] = os.stat(f).st_mtime_ns
        except OSError:
            result[f] = None
    return result


def tests_for(relinked, tests):
    names = {os.path.basename(f) for f in relinked}
    suites = set(names)
    for program, starters in STARTED_PROGRAMS.items():
        if program in names:
            suites.update(starters)
    return [t for t in tests if os.path.basename(t[2]) in suites]


def test_name(name):
    """A test's name without the parameter dump GoogleTest appends."""
    return name.split("  # GetParam()")[0].strip()


RESULT_LINE = re.compile(r"Test\s+#(\d+): (.+?) \.+\s*(\S.*?)\s+([\d.]+) sec\s*$", re.MULTILINE)


def run_tests(numbers, timeout, stop_on_failure=True):
    """Runs the tests of the given numbers (all when None); returns (all
    passed, failures as (name, how), seconds by test name, the output)."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    failed_log = os.path.join(BUILD, "Testing", "Temporary", "LastTestsFailed.log")
    if os.path.exists(failed_log):
        os.remove(failed_log)
    command = ["ctest", "--test-dir", BUILD, "-j2", "--timeout", str(timeout)]
    if stop_on_failure:
        command.append("--stop-on-failure")
    if numbers is not None:
        command += ["-I", "0,0,0," + ",".join(str(n) for n in numbers)]
    result = run(command, env=env)
    times, how = {}, {}
    for match in RESULT_LINE.finditer(result.stdout):
        name, status = test_name(match.group(2)), match.group(3)
        times[name] = float(match.group(4))
        if "Passed" not in status:
            how[name] = "timeout" if "Timeout" in status else status.replace("*", "").strip().lower()
    failures = []
    if os.path.exists(failed_log):
        with open(failed_log, errors="replace") as f:
            for line in f:
                name = test_name(line.strip().partition(":")[2])
                if name:
                    failures.append((name, how.get(name, "failed")))
    for name, kind in how.items():
        if name not in {n for n, _ in failures}:
            failures.append((name, kind))
    passed = result.returncode == 0 and not failures
    if result.returncode != 0 and not failures:
        failures.append(("ctest", "exit status %d" % result.returncode))
    return passed, failures, times, result.stdout


def baseline(tests, timeout_option):
    """Runs every test once on the unchanged copy. Tests that fail there are
    left out of the mutation runs. Kept in a stamp until the copy changes."""
    if os.path.isfile(STAMP):
        with open(STAMP) as f:
            kept = json.load(f)
        return set(kept["failing"]), kept["timeout"]
    print("mutate: running every test once on the unchanged copy ...", flush=True)
    started = time.monotonic()
    passed, failures, times, out = run_tests(None, timeout_option or 600, stop_on_failure=False)
    failing = sorted({name for name, _ in failures if name != "ctest"})
    if not passed and not failing:
        sys.stdout.write(out)
        sys.exit("mutate: the tests could not run on the unchanged copy")
    for name in failing:
        print(f"mutate: {name} fails without a mutation; it is left out")
    slowest = max(times.values(), default=10.0)
    timeout = timeout_option or max(60, int(3 * slowest + 1))
    print(f"mutate: {len(times)} tests in {time.monotonic() - started:.0f} s, the slowest "
          f"{slowest:.1f} s: a test that runs over {timeout} s counts as killed", flush=True)
    with open(STAMP, "w") as f:
        json.dump({"failing": failing, "timeout": timeout}, f)
    return set(failing), timeout


def apply_and_test(m, tests_before, timeout, failing, every_failure=False):
    """Applies one mutation to the copy, builds, runs the tests that the change
    reaches and puts the file back."""
    target = os.path.join(TREE, m.path)
    with open(target, "rb") as f:
        original = f.read()
    mutated = original.replace(m.before.encode("utf-8"), m.after.encode("utf-8"), 1)
    started = time.monotonic()
    try:
        programs = program_files(tests_before)
        before = stamps(programs)
        with open(target, "wb") as f:
            f.write(mutated)
        built = build()
        if built.returncode != 0:
            if "Error running test executable" in built.stdout:
                m.result, m.detail = "killed", "a test program fails when listing its tests"
            else:
                m.result, m.detail = "compiler", first_error(built.stdout)
            return
        tests = list_tests()
        after = stamps(programs | {t[2] for t in tests})
        relinked = {f for f, stamp in after.items() if stamp != before.get(f)}
        chosen = [t for t in tests_for(relinked, tests) if t[1] not in failing]
        scope = f"{len(chosen)} tests"
        if not chosen:
            chosen = [t for t in tests if t[1] not in failing]
            scope = "all tests (no test program was linked again)"
        passed, failures, _, _ = run_tests([t[0] for t in chosen], timeout,
                                           stop_on_failure=not every_failure)
        m.killers = sorted({name for name, _ in failures if name != "ctest"})
        if passed:
            m.result, m.detail = "survived", scope
        else:
            timeouts = [name for name, how in failures if how == "timeout"]
            name = timeouts[0] if timeouts else failures[0][0]
            m.result = "killed"
            m.detail = f"by {name}" + (" (timeout)" if timeouts else "")
    finally:
        with open(target, "wb") as f:
            f.write(original)
        m.seconds = time.monotonic() - started


def first_error(output):
    for line in output.splitlines():
        if "error:" in line:
            return line.strip()[:160]
    return "the build failed"


def report(done, refused, seconds):
    print()
    print(f"{'folder':<20} {'mutations':>9} {'killed':>7} {'survived':>9} {'compiler':>9} {'kill rate':>10}")
    rows = [f for f in FOLDERS if any(m.folder == f for m in done)]
    rows += sorted({m.folder for m in done} - set(FOLDERS))
    totals = [0, 0, 0, 0]

    def line(name, n, k, s, c):
        rate = f"{100.0 * k / (k + s):.0f} %" if k + s else "-"
        print(f"{name:<20} {n:>9} {k:>7} {s:>9} {c:>9} {rate:>10}")

    for folder in rows:
        ms = [m for m in done if m.folder == folder]
        counts = [len(ms)] + [sum(1 for m in ms if m.result == r) for r in ("killed", "survived", "compiler")]
        totals = [a + b for a, b in zip(totals, counts)]
        line(folder, *counts)
    line("overall", *totals)
    if done:
        print(f"\n{len(done)} mutations in {seconds / 60:.1f} min, {seconds / len(done):.0f} s each "
              "(after the build of the unchanged copy)")
    survivors = [m for m in done if m.result == "survived"]
    if survivors:
        print("\nSurvivors (no test failed):")
        for m in survivors:
            print(f"  {m.ident}  {m.path}:{m.line}  {m.description}")
    compiled = [m for m in done if m.result == "compiler"]
    if compiled:
        print("\nCaught by the compiler (not counted):")
        for m in compiled:
            print(f"  {m.ident}  {m.path}:{m.line}  {m.detail}")
    if refused:
        print("\nRefused entries of the list (not counted):")
        for m in refused:
            print(f"  {m.ident}  {m.path}  {m.problem}")


def prepare(timeout_option):
    """The scratch copy brought up to date, built and tested once: its tests,
    those that fail without a mutation, and the timeout of one test."""
    os.makedirs(TREE, exist_ok=True)
    copied = sync_tree()
    if copied and os.path.isfile(STAMP):
        os.remove(STAMP)
    print(f"mutate: {copied} files copied to {os.path.relpath(TREE, ROOT)}", flush=True)
    configure()
    print("mutate: building the unchanged copy ...", flush=True)
    built = build()
    if built.returncode != 0:
        sys.stdout.write(built.stdout)
        sys.exit("mutate: the unchanged copy does not build")
    tests = list_tests()
    failing, timeout = baseline(tests, timeout_option)
    return tests, failing, timeout_option or timeout


def main():
    parser = argparse.ArgumentParser(
        prog="tools/mutate/mutate.py",
        description="Applies single mutations to a scratch copy of the source tree and reports "
                    "which ones the tests catch.")
    parser.add_argument("--only", action="append", default=[], metavar="PATTERN",
                        help="mutation ids (shell patterns allowed) or folders (src/core/model, "
                             "gui/view, ...); comma-separated or repeated")
    parser.add_argument("--list", action="store_true", help="show the entries of the list and stop")
    parser.add_argument("--file", default=DEFAULT_LIST, help="the mutation list (default tools/mutate/mutations.txt)")
    parser.add_argument("--matrix", metavar="FILE",
                        help="run every test a mutation reaches, not only up to the first failure, "
                             "and append each mutation's failing tests to FILE as a JSON line: "
                             "which tests are the only ones to catch a fault")
    parser.add_argument("--timeout", type=int, default=0,
                        help="seconds after which a test counts as hung and the mutation as killed "
                             "(default: three times the slowest test, at least 60)")
    args = parser.parse_args()

    entries = parse_list(args.file)
    check_entries(entries, ROOT)
    patterns = [p for option in args.only for p in option.split(",")]
    chosen = selected(entries, patterns)
    refused = [m for m in chosen if m.problem]
    chosen = [m for m in chosen if not m.problem]

    if args.list:
        shown = selected(entries, patterns)
        width = max((len(m.ident) for m in shown), default=0)
        for m in shown:
            where = f"{m.path}:{m.line}" if not m.problem else f"{m.path} (refused: {m.problem})"
            print(f"{m.ident:<{width}}  {where:<46}  {m.description}")
        print(f"\n{len(chosen)} mutations, {len(refused)} refused")
        for folder in FOLDERS + sorted({m.folder for m in chosen} - set(FOLDERS)):
            n = sum(1 for m in chosen if m.folder == folder)
            if n or not patterns:
                print(f"  {folder:<20} {n:>4}")
        return 0
    if not chosen:
        for m in refused:
            print(f"refused: {m.ident}  {m.path}  {m.problem}")
        sys.exit("mutate: no mutation to run")

    # A stop from outside restores the file being mutated just as Ctrl-C does.
    def stop(*_):
        raise KeyboardInterrupt()
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)  # also when started with Ctrl-C ignored

    started = time.monotonic()
    try:
        tests, failing, timeout = prepare(args.timeout)
    except KeyboardInterrupt:
        print("\nmutate: stopped before the first mutation", flush=True)
        return 130

    chosen.sort(key=lambda m: (m.path, m.line))
    print(f"mutate: ready after {(time.monotonic() - started) / 60:.1f} min; "
          f"{len(chosen)} mutations to run", flush=True)
    started = time.monotonic()
    done = []
    interrupted = False
    try:
        for index, m in enumerate(chosen, 1):
            print(f"[{index}/{len(chosen)}] {m.ident} {m.path}:{m.line} ... ", end="", flush=True)
            apply_and_test(m, tests, timeout, failing, every_failure=bool(args.matrix))
            done.append(m)
            if args.matrix:
                with open(args.matrix, "a") as f:
                    f.write(json.dumps({"id": m.ident, "path": m.path, "result": m.result,
                                        "killers": m.killers}) + "\n")
            print(f"{m.result} {m.detail} ({m.seconds:.0f} s)", flush=True)
    except KeyboardInterrupt:
        interrupted = True
        print("\nmutate: stopped; the file being mutated is restored", flush=True)
    report(done, refused, time.monotonic() - started)
    return 130 if interrupted else 0


if __name__ == "__main__":
    sys.exit(main())
