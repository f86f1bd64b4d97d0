#!/usr/bin/env python3
"""Runs the commands of bench/run.sh and prints their figures.

  stats.py run --db FILE --group G --title TEXT [--runs N] [--warmup N] [--budget S]
               [--self-timed] [--expect NAME=STATUS]... NAME=ARGVFILE...
      Runs every command N times, round robin (each round starts one command later, so that
      drift and order effects hit all alike), with stdout and stderr to /dev/null, and records
      the wall time (perf_counter around posix_spawn and wait4) and the peak RSS (ru_maxrss of
      wait4) of each run in FILE (JSON lines). ARGVFILE holds the command's arguments, each
      ended by a NUL. --self-timed: the command prints "seconds <s>" itself; that figure is
      the one used (the window bench, which leaves Wine's start-up out). --budget: start no
      new round once the rounds so far say that it would end after S seconds (at least one
      round is always run).

  stats.py table --db FILE [--ratio RATIO]... [--rss-limit MIB] [--rss-prefix PREFIX]
      Prints the Markdown table of medians, ratios, targets and verdicts.
      RATIO: GROUP|LABEL|NUMERATOR|DENOMINATOR|TARGET[|SCALE]  (ratio = median(NUM) /
      median(DEN) * SCALE; PASS when ratio <= TARGET; TARGET "-" shows the ratio only).
"""

import argparse
import json
import os
import re
import shutil
import statistics
import sys
import tempfile
import time


def read_argv(path):
    with open(path, "rb") as f:
        data = f.read()
    return [os.fsdecode(a) for a in data.split(b"\0")[:-1]]


def describe(argv):
    """The command with its path arguments shown as FILE, DIR or PATH (repeats collapsed)."""
    words = [os.path.basename(argv[0])]
    last, count = None, 0

    def close():
        if last is not None:
            words.append(last if count == 1 else f"{last}×{count}")

    for a in argv[1:]:
        if a.startswith("-") or ("/" not in a and "\\" not in a):
            close()
            last, count = None, 0
            words.append(a)
            continue
        if os.path.isfile(a) and os.access(a, os.X_OK):
            close()
            last, count = None, 0
            words.append(os.path.basename(a))
            continue
        kind = "DIR" if os.path.isdir(a) else "FILE" if os.path.exists(a) else "PATH"
        if kind == last:
            count += 1
        else:
            close()
            last, count = kind, 1
    close()
    return " ".join(words)


def own_peak_kib():
    """This process's peak RSS (VmHWM) in KiB."""
    with open("/proc/self/status", encoding="ascii") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def spawn_and_wait(argv, stdout_path):
    exe = shutil.which(argv[0]) or argv[0]
    actions = [
        (os.POSIX_SPAWN_OPEN, 0, "/dev/null", os.O_RDONLY, 0),
        (os.POSIX_SPAWN_OPEN, 1, stdout_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600),
        (os.POSIX_SPAWN_OPEN, 2, "/dev/null", os.O_WRONLY, 0),
    ]
    start = time.perf_counter()
    pid = os.posix_spawn(exe, argv, os.environ, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    return wall, os.waitstatus_to_exitcode(status), usage.ru_maxrss


def cmd_run(args):
    commands = []
    for entry in args.commands:
        name, _, path = entry.partition("=")
        commands.append((name, read_argv(path)))
    expect = {}
    for e in args.expect:
        name, _, code = e.partition("=")
        expect[name] = int(code)

    arg_max = os.sysconf("SC_ARG_MAX")
    for name, argv in commands:
        size = sum(len(os.fsencode(a)) + 1 + 8 for a in argv) + sum(
            len(k) + len(v) + 2 + 8 for k, v in os.environ.items())
        if size > arg_max:
            print(f"  note: {name}: arguments and environment take {size} bytes, more than "
                  f"ARG_MAX ({arg_max}); it cannot be started")

    print(f"== {args.group}. {args.title}")
    for name, argv in commands:
        print(f"   {name:<12} {describe(argv)}")

    fd, out_path = tempfile.mkstemp(prefix="bench-out-")
    os.close(fd)
    if not args.self_timed:
        os.unlink(out_path)
        out_path = "/dev/null"

    def one(name, argv):
        bound = own_peak_kib()
        try:
            wall, status, rss = spawn_and_wait(argv, out_path)
        except OSError as e:
            print(f"   {name}: could not start: {e}")
            return None
        # The child starts in this process's memory (posix_spawn shares it until the exec), and
        # the kernel keeps that peak in the child's ru_maxrss: a figure at this process's own
        # peak only says "at most that much".
        row = {"wall": wall, "status": status, "rss_kib": rss, "rss_exact": rss > bound}
        if args.self_timed:
            with open(out_path, encoding="utf-8", errors="replace") as f:
                out = f.read()
            fields = dict(re.findall(r"^(\w+) (\S+)$", out, re.M))
            row["self"] = float(fields["seconds"]) if "seconds" in fields else None
            row["fields"] = fields
        return row

    # The warm-up runs go through /usr/bin/time, a small process, for exact peak RSS figures;
    # the timed runs are started directly, so that no extra process start is timed.
    warm_rss = {}
    rss_file = tempfile.mkstemp(prefix="bench-rss-")
    os.close(rss_file[0])
    for _ in range(args.warmup):
        for name, argv in commands:
            if args.self_timed or not os.access("/usr/bin/time", os.X_OK):
                one(name, argv)
                continue
            one(name, ["/usr/bin/time", "-f", "%M", "-o", rss_file[1], "--"] + argv)
            try:
                with open(rss_file[1], encoding="ascii") as f:
                    kib = int(f.read().split()[-1])
                warm_rss[name] = max(warm_rss.get(name, 0), kib)
            except (OSError, ValueError, IndexError):
                pass
    os.unlink(rss_file[1])

    rows = {name: [] for name, _ in commands}
    started = time.perf_counter()
    rounds = 0
    for r in range(args.runs):
        if rounds > 0 and args.budget > 0:
            spent = time.perf_counter() - started
            if spent / rounds * (rounds + 1) > args.budget:
                print(f"   (stopped after {rounds} of {args.runs} rounds: the next one would "
                      f"pass the budget of {args.budget:.0f} s)")
                break
        k = r % len(commands)
        for name, argv in commands[k:] + commands[:k]:
            row = one(name, argv)
            if row is not None:
                rows[name].append(row)
        rounds += 1
    if args.self_timed:
        os.unlink(out_path)

    with open(args.db, "a", encoding="utf-8") as db:
        for name, argv in commands:
            runs = rows[name]
            times = [x["self"] if args.self_timed else x["wall"] for x in runs]
            times = [t for t in times if t is not None]
            statuses = sorted({x["status"] for x in runs})
            record = {
                "group": args.group,
                "title": args.title,
                "name": name,
                "command": describe(argv),
                "times": times,
                "walls": [x["wall"] for x in runs],
                "rss_kib": [x["rss_kib"] for x in runs],
                "rss_exact": [x["rss_exact"] for x in runs],
                "rss_warmup_kib": warm_rss.get(name),
                "statuses": statuses,
                "expected_status": expect.get(name, 0),
                "self_timed": args.self_timed,
                "fields": runs[-1].get("fields", {}) if runs else {},
            }
            db.write(json.dumps(record) + "\n")
            print_detail(record)


def spread(times):
    if len(times) < 2:
        return ""
    m = statistics.median(times)
    return f"  spread {100 * (max(times) - min(times)) / m:.0f}%" if m > 0 else ""


def print_detail(rec):
    times = rec["times"]
    if not times:
        print(f"   {rec['name']:<12} no successful run")
        return
    line = (f"   {rec['name']:<12} median {statistics.median(times):8.4f} s  "
            f"min {min(times):8.4f}  max {max(times):8.4f}  n={len(times)}{spread(times)}")
    if rec["self_timed"]:
        f = rec["fields"]
        line += (f"  (wall with Wine start-up {statistics.median(rec['walls']):.2f} s; "
                 f"{f.get('blocks', '?')} blocks of {f.get('files', '?')} files, "
                 f"{f.get('report_bytes', '?')} bytes)")
    else:
        line += "\n" + " " * 16 + "peak RSS MiB: " + rss_text(rec)
    bad = [s for s in rec["statuses"] if s != rec["expected_status"]]
    if bad:
        line += f"  EXIT STATUS {bad} (expected {rec['expected_status']})"
    print(line)


def rss_text(rec):
    parts = []
    if rec.get("rss_warmup_kib"):
        parts.append(f"warm-up {rec['rss_warmup_kib'] / 1024:.1f} (/usr/bin/time)")
    runs = [(f"{k / 1024:.1f}" if exact else f"≤{k / 1024:.1f}")
            for k, exact in zip(rec["rss_kib"], rec["rss_exact"])]
    if runs:
        parts.append("timed runs " + " ".join(runs))
    return "; ".join(parts)


def peak_rss_mib(rec):
    """The highest exact figure, or None; and the highest upper bound of the others."""
    exact = [k for k, e in zip(rec["rss_kib"], rec["rss_exact"]) if e]
    if rec.get("rss_warmup_kib"):
        exact.append(rec["rss_warmup_kib"])
    bounds = [k for k, e in zip(rec["rss_kib"], rec["rss_exact"]) if not e]
    return (max(exact) / 1024 if exact else None), (max(bounds) / 1024 if bounds else None)


def cmd_table(args):
    records = []
    with open(args.db, encoding="utf-8") as db:
        for line in db:
            records.append(json.loads(line))
    by_key = {(r["group"], r["name"]): r for r in records}
    titles = {}
    for r in records:
        titles.setdefault(r["group"], r["title"])

    def median(group, name):
        r = by_key.get((group, name))
        if r is None or not r["times"]:
            return None
        return statistics.median(r["times"])

    ratios = {}
    for entry in args.ratio:
        parts = entry.split("|")
        group, label, num, den, target = parts[:5]
        scale = float(parts[5]) if len(parts) > 5 else 1.0
        target = None if target == "-" else float(target)
        ratios.setdefault(group, []).append((label, num, den, target, scale))

    fails = 0
    print("| comparison | command | median s | ratio | target | result |")
    print("| --- | --- | ---: | ---: | ---: | --- |")
    for group in titles:
        first = True
        for r in [r for r in records if r["group"] == group]:
            m = median(group, r["name"])
            shown = "n/a" if m is None else f"{m:.4f}"
            if m is not None and len(r["times"]) == 1:
                shown += " (n=1)"
            bad = [s for s in r["statuses"] if s != r["expected_status"]]
            note = f" (exit {bad[0]}!)" if bad else ""
            label = f"{group}. {titles[group]}" if first else ""
            first = False
            print(f"| {label} | {r['name']}: `{r['command']}`{note} | {shown} | | | |")
        for label, num, den, target, scale in ratios.get(group, []):
            a, b = median(group, num), median(group, den)
            shown_target = "—" if target is None else f"≤ {target:g}"
            if a is None or b is None or b <= 0:
                verdict = "—" if target is None else "**FAIL** (no figure)"
                fails += target is not None
                print(f"| | {label} | | n/a | {shown_target} | {verdict} |")
                continue
            ratio = a / b * scale
            if target is None:
                verdict = "(shown only)"
            else:
                verdict = "PASS" if ratio <= target else "**FAIL**"
                fails += verdict != "PASS"
            print(f"| | {label} | | {ratio:.3f} | {shown_target} | {verdict} |")

    if args.rss_limit > 0:
        first = True
        for r in records:
            if not r["name"].startswith(args.rss_prefix) or r["self_timed"] or not r["rss_kib"]:
                continue
            exact, bound = peak_rss_mib(r)
            # The exact figures decide; the bounds only when there is nothing else.
            peak = exact if exact is not None else bound
            verdict = "PASS" if peak <= args.rss_limit else "**FAIL**"
            fails += verdict != "PASS"
            shown = f"{peak:.1f} MiB" if exact is not None else f"≤ {peak:.1f} MiB"
            if exact is not None and bound is not None:
                shown += f" (timed runs ≤ {bound:.1f})"
            label = "f. peak RSS of sumwarden-cli (highest run)" if first else ""
            first = False
            print(f"| {label} | {r['group']}. {r['name']} | | {shown} | "
                  f"≤ {args.rss_limit:g} MiB | {verdict} |")
    print()
    print(f"{fails} target(s) missed" if fails else "every target met")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="what", required=True)
    run = sub.add_parser("run")
    run.add_argument("--db", required=True)
    run.add_argument("--group", required=True)
    run.add_argument("--title", required=True)
    run.add_argument("--runs", type=int, default=5)
    run.add_argument("--warmup", type=int, default=1)
    run.add_argument("--budget", type=float, default=0)
    run.add_argument("--self-timed", action="store_true")
    run.add_argument("--expect", action="append", default=[])
    run.add_argument("commands", nargs="+")
    table = sub.add_parser("table")
    table.add_argument("--db", required=True)
    table.add_argument("--ratio", action="append", default=[])
    table.add_argument("--rss-limit", type=float, default=0)
    table.add_argument("--rss-prefix", default="cli")
    args = parser.parse_args()
    {"run": cmd_run, "table": cmd_table}[args.what](args)


if __name__ == "__main__":
    sys.exit(main())
