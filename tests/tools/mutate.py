#!/usr/bin/env python3
"""Runs the suite against hand-made faults (tests/tools/mutants.txt).

Each mutant replaces one exact text in one file of a scratch copy of the
tree (never the working files), rebuilds incrementally, and runs the test
binaries with fail-fast. A mutant is killed when a test fails, the build
fails or a binary times out; it survived when every test passed; and it did
not apply when its text is not in the file exactly once (an outdated mutant
is reported, never counted as killed).

    tests/tools/mutate.py [--scratch DIR] [--only NAME[,NAME...]] [--jobs N]
                          [--list FILE] [--keep-going] [--report FILE]

Exit status: 0 when every mutant applied and was killed, 1 otherwise.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BINARIES = ["orlendo_tests", "app_tests", "e2e_tests"]


def parse_mutants(path):
    """Blocks of `key: value` lines after a `[name]` line; '#' lines are comments."""
    mutants, current = [], None
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            m = re.fullmatch(r"\[(.+)\]", line.strip())
            if m:
                current = {"name": m.group(1), "line": number}
                mutants.append(current)
                continue
            key, sep, value = line.partition(": ")
            if not sep or current is None or key not in ("file", "find", "replace", "why", "nth", "tests"):
                sys.exit(f"{path}:{number}: expected '[name]' or 'file|find|replace|why|nth|tests: value'")
            current[key] = re.sub(r"\\([nt\\])", lambda e: {"n": "\n", "t": "\t", "\\": "\\"}[e.group(1)], value)
    for m in mutants:
        for key in ("file", "find", "replace", "why"):
            if key not in m:
                sys.exit(f"{path}:{m['line']}: mutant {m['name']} has no '{key}'")
    names = [m["name"] for m in mutants]
    dupes = {n for n in names if names.count(n) > 1}
    if dupes:
        sys.exit(f"{path}: names used twice: {', '.join(sorted(dupes))}")
    return mutants


def wants_qt(m):
    """A mutant of the windows, or of plain code that only the widget tests reach (`tests: qt`)."""
    return m["file"].startswith("app/qt/") or m.get("tests") == "qt"


def default_signals():
    # A run started in the background ignores SIGINT (and nohup SIGHUP); the
    # tests that end a run with a signal need the ordinary dispositions.
    for sig in (signal.SIGINT, signal.SIGQUIT, signal.SIGHUP, signal.SIGTERM):
        signal.signal(sig, signal.SIG_DFL)


def run(cmd, cwd, timeout=None, env=None):
    try:
        p = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=timeout, env=env, text=True, errors="replace", preexec_fn=default_signals)
        return p.returncode, p.stdout
    except subprocess.TimeoutExpired as e:
        out = e.stdout.decode(errors="replace") if isinstance(e.stdout, bytes) else (e.stdout or "")
        return None, out


def copy_tree(scratch):
    """The tracked files (as they are in the working tree) into scratch/src."""
    src = os.path.join(scratch, "src")
    files = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, stdout=subprocess.PIPE,
                           check=True).stdout.decode().split("\0")
    wanted = set()
    for rel in filter(None, files):
        if not os.path.lexists(os.path.join(ROOT, rel)):
            continue
        wanted.add(rel)
        dst = os.path.join(src, rel)
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        a = os.path.join(ROOT, rel)
        # Copy only what changed, so that an unchanged file keeps its time and is not rebuilt.
        if os.path.islink(a):
            if not os.path.islink(dst) or os.readlink(dst) != os.readlink(a):
                if os.path.lexists(dst):
                    os.remove(dst)
                os.symlink(os.readlink(a), dst)
            continue
        with open(a, "rb") as f:
            data = f.read()
        try:
            with open(dst, "rb") as f:
                same = f.read() == data
        except OSError:
            same = False
        if not same:
            with open(dst, "wb") as f:
                f.write(data)
            shutil.copymode(a, dst)
    # Files no longer tracked go, so that a glob does not pick them up.
    for dirpath, dirs, names in os.walk(src):
        dirs[:] = [d for d in dirs if not (dirpath == src and d.startswith("build"))]
        for n in names:
            rel = os.path.relpath(os.path.join(dirpath, n), src)
            if rel not in wanted:
                os.remove(os.path.join(dirpath, n))
    return src


def configure(src, build, qt):
    if os.path.exists(os.path.join(build, "CMakeCache.txt")):
        return
    # A mutant never changes the library's interface: the programs need not
    # be relinked when only the shared library changed.
    cmd = ["cmake", "-S", src, "-B", build, "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache",
           "-DCMAKE_LINK_DEPENDS_NO_SHARED=ON", "-DTVX_BUILD_BENCH=OFF", f"-DTVX_BUILD_QT={'ON' if qt else 'OFF'}"]
    code, out = run(cmd, ROOT)
    if code != 0:
        sys.exit("configure failed:\n" + out)


def build(build_dir, qt, jobs, timeout=1800):
    # With Qt, everything (the module and one widget-test program per file);
    # without, only what the tests run.
    cmd = ["cmake", "--build", build_dir, f"-j{jobs}"]
    if not qt:
        cmd += ["--target"] + BINARIES + ["tvxdesk", "save_loop", "load_fuzz_replay"]
    return run(cmd, ROOT, timeout=timeout)


def other_ctests(build_dir, timeout):
    """The CTest tests that are not cases of the gtest binaries: checks, compile tests, widget tests."""
    code, out = run(["ctest", "--test-dir", build_dir, "-N"], ROOT)
    names = re.findall(r"Test\s+#\d+: (\S+)", out)
    return [n for n in names if "." not in n]


def run_tests(build_dir, first, timeout, program_only=False):
    """program_only: a mutant of the program (app/), which the library's tests
    and checks do not link or read: only the program's tests run."""
    bindir = os.path.join(build_dir, "bin")
    order = sorted((b for b in BINARIES if not (program_only and b == "orlendo_tests")), key=lambda b: b != first)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    binaries = [os.path.join(bindir, b) for b in order]
    for binary in binaries:
        if not os.path.exists(binary):
            continue
        # The slow randomized crash test goes last.
        for flt in ("-SaveCrash*", "SaveCrash*"):
            code, out = run([binary, "--gtest_fail_fast", "--gtest_brief=1", f"--gtest_filter={flt}"], build_dir,
                            timeout=timeout, env=env)
            if code is None:
                return f"timeout in {os.path.basename(binary)}"
            if code != 0:
                failed = re.findall(r"\[  FAILED  \] (\S+)", out)
                return (failed[0] if failed else f"{os.path.basename(binary)} exit {code}")
    names = other_ctests(build_dir, timeout)
    if program_only:
        names = [n for n in names if n.startswith("qt_")]
    if names:
        regex = "^(" + "|".join(re.escape(n) for n in names) + ")$"
        code, out = run(["ctest", "--test-dir", build_dir, "-R", regex, "--stop-on-failure"], ROOT,
                        timeout=timeout, env=env)
        if code != 0:
            failed = re.findall(r"\d+ - (\S+) \(", out)
            return failed[0] if failed else "ctest"
    return None


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--list", default=os.path.join(ROOT, "tests", "tools", "mutants.txt"))
    ap.add_argument("--scratch", default=os.path.join(ROOT, "build-mutants"))
    ap.add_argument("--only", default="", help="comma-separated mutant names")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--timeout", type=int, default=600, help="seconds per test binary")
    ap.add_argument("--report", default="", help="also write the result lines to this file")
    ap.add_argument("--check", action="store_true", help="only check that every mutant applies")
    args = ap.parse_args()

    mutants = parse_mutants(args.list)
    if args.only:
        wanted = set(args.only.split(","))
        mutants = [m for m in mutants if m["name"] in wanted]

    os.makedirs(args.scratch, exist_ok=True)
    src = copy_tree(args.scratch)
    # The builds sit one level below the copied sources, as a build folder of
    # the working tree does: the compiler's cache then finds the files it has
    # already compiled there.
    builds = {False: os.path.join(src, "build-m"), True: os.path.join(src, "build-mq")}

    results = []
    report = open(args.report, "w") if args.report else None

    def say(line):
        print(line, flush=True)
        if report:
            report.write(line + "\n")
            report.flush()

    # The unmutated tree must build and pass, or every mutant would look killed.
    needs_qt = any(wants_qt(m) for m in mutants)
    program_only = all(m["file"].startswith("app/") for m in mutants)
    if not args.check:
        for qt in sorted({False, needs_qt}):
            configure(src, builds[qt], qt)
            code, out = build(builds[qt], qt, args.jobs, timeout=14400)
            if code != 0:
                sys.exit("the unmutated tree does not build:\n" + out[-4000:])
            failure = run_tests(builds[qt], "orlendo_tests", args.timeout, program_only)
            if failure:
                sys.exit(f"the unmutated tree fails its own tests: {failure}")

    for m in mutants:
        path = os.path.join(src, m["file"])
        try:
            with open(path, encoding="utf-8") as f:
                original = f.read()
        except OSError:
            original = ""
        count = original.count(m["find"])
        nth = int(m.get("nth", "0"))
        if count == 0 or (count > 1 and not nth) or nth > count:
            results.append((m, "did-not-apply", f"text found {count} times"))
            say(f"DID-NOT-APPLY {m['name']}: {m['file']}: text found {count} times")
            continue
        if args.check:
            continue
        at = -1
        for _ in range(max(nth, 1)):
            at = original.index(m["find"], at + 1)
        mutated = original[:at] + m["replace"] + original[at + len(m["find"]):]
        qt = wants_qt(m)
        first = ("orlendo_tests" if m["file"].startswith("library/")
                 else "e2e_tests" if m["file"].startswith(("app/main", "app/batch")) else "app_tests")
        started = time.time()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(mutated)
            code, out = build(builds[qt], qt, args.jobs)
            if code != 0:
                verdict, detail = "killed", "build fails"
            else:
                failure = run_tests(builds[qt], first, args.timeout, m["file"].startswith("app/"))
                verdict, detail = ("killed", failure) if failure else ("survived", "every test passed")
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        results.append((m, verdict, detail))
        say(f"{verdict.upper()} {m['name']}: {detail} ({time.time() - started:.0f} s)")

    if args.check:
        bad = [r for r in results if r[1] == "did-not-apply"]
        print(f"{len(mutants) - len(bad)}/{len(mutants)} mutants apply")
        return 0 if not bad else 1

    # Rebuild the unmutated tree so that the scratch builds stay good for the next run.
    for qt in sorted({False, needs_qt}):
        build(builds[qt], qt, args.jobs)

    killed = sum(1 for r in results if r[1] == "killed")
    survived = [r for r in results if r[1] == "survived"]
    missing = [r for r in results if r[1] == "did-not-apply"]
    say("")
    say(f"killed {killed}/{len(results)}, survived {len(survived)}, did not apply {len(missing)}")
    for m, _, _ in survived:
        say(f"  survived {m['name']} ({m['file']}): {m['why']}")
    for m, _, detail in missing:
        say(f"  did not apply {m['name']} ({m['file']}): {detail}")
    return 0 if killed == len(results) else 1


if __name__ == "__main__":
    sys.exit(main())
