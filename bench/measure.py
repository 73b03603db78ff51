#!/usr/bin/env python3
"""Times image-to-PDF tools on batches of images and prints one table per batch.

Each tool converts each batch once untimed (to warm the caches); then come --runs rounds, in
each of which every tool converts the batch once, starting with a different tool each round, so
that a burst of other work on the machine falls on all tools alike. Per tool and batch it reports the median wall time with the fastest and slowest run (the
noise), the median CPU time (user and system, all threads), the highest peak resident memory that
/usr/bin/time saw (%M), the size of the output, the page count (pdfinfo, when installed)
and the ratios to img2pdf and to `cat` of the inputs, which copies the bytes and nothing else.

Standard library only; called by bench/run.sh.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

TIME = "/usr/bin/time"


def command_for(tool, program, inputs, output):
    if tool.endswith("-1thread"):
        # The same program on its single-threaded path.
        base = "tovrapdf-cli" if tool == "tovrapdf-1thread" else tool[:-len("-1thread")]
        return ["env", "TOVRA_THREADS=1"] + command_for(base, program, inputs, output)
    if tool in ("tovrapdf-cli", "tovrapdf-compact"):
        # Page = picture size (plus the CLI's fixed border), no margins: what img2pdf does by default.
        compact = ["--compact"] if tool == "tovrapdf-compact" else []
        return [program] + compact + ["-q", "-f", "-s", "full", "-m", "0", "-o", output] + inputs
    if tool == "img2pdf":
        return [program, "-o", output] + inputs
    if tool == "convert":
        return [program] + inputs + [output]
    if tool == "cat":
        return ["sh", "-c", 'out=$1; shift; exec cat "$@" > "$out"', "sh", output] + inputs
    raise ValueError(tool)


def run_once(command, output, memory_file):
    """Runs the command under /usr/bin/time; returns (seconds, CPU seconds, peak KiB, error or None)."""
    if os.path.exists(output):
        os.remove(output)
    start = time.perf_counter()
    done = subprocess.run([TIME, "-f", "%M %U %S", "-o", memory_file] + command,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        text = done.stderr.decode(errors="replace").strip().splitlines()
        return seconds, 0.0, 0, (text[0] if text else "exit code %d" % done.returncode)
    with open(memory_file) as f:
        fields = f.read().strip().splitlines()[-1].split()
    return seconds, float(fields[1]) + float(fields[2]), int(fields[0]), None


def page_count(path):
    if not shutil.which("pdfinfo"):
        return None
    done = subprocess.run(["pdfinfo", path], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    for line in done.stdout.decode(errors="replace").splitlines():
        if line.startswith("Pages:"):
            return int(line.split()[1])
    return None


def measure(name, tools, inputs, work, runs):
    """Every tool on the batch: one warm-up each, then `runs` interleaved rounds."""
    jobs = []
    for tool, program in tools:
        output = os.path.join(work, "out-%s.%s" % (tool, "bin" if tool == "cat" else "pdf"))
        memory_file = os.path.join(work, "time-%s.txt" % tool)
        jobs.append({"tool": tool, "output": output, "memory": memory_file, "times": [], "cpu": [], "peaks": [],
                     "command": command_for(tool, program, inputs, output), "error": None})
    for job in jobs:
        print("  %s: %s (warm-up) ..." % (name, job["tool"]), file=sys.stderr, flush=True)
        _, _, _, job["error"] = run_once(job["command"], job["output"], job["memory"])
    for round_number in range(runs):
        print("  %s: round %d of %d ..." % (name, round_number + 1, runs), file=sys.stderr, flush=True)
        shift = round_number % len(jobs)
        for job in jobs[shift:] + jobs[:shift]:
            if job["error"]:
                continue
            seconds, cpu, peak, job["error"] = run_once(job["command"], job["output"], job["memory"])
            job["times"].append(seconds)
            job["cpu"].append(cpu)
            job["peaks"].append(peak)
    results = []
    for job in jobs:
        if job["error"]:
            results.append({"tool": job["tool"], "error": job["error"]})
            continue
        results.append({
            "tool": job["tool"],
            "median": statistics.median(job["times"]),
            "min": min(job["times"]),
            "max": max(job["times"]),
            "cpu": statistics.median(job["cpu"]),
            "peak": max(job["peaks"]),
            "size": os.path.getsize(job["output"]),
            "pages": None if job["tool"] == "cat" else page_count(job["output"]),
        })
        os.remove(job["output"])
    return results


def mib(n):
    return n / (1024.0 * 1024.0)


def ratio(a, b):
    return "%.2f" % (a / b) if b else "-"


def print_table(name, inputs, results):
    total = sum(os.path.getsize(p) for p in inputs)
    print()
    print("== %s: %d files, %.1f MiB of input" % (name, len(inputs), mib(total)))
    header = "%-24s %9s %15s %7s %9s %10s %6s %12s %8s %12s %11s" % (
        "tool", "median s", "min-max s", "cpu s", "peak MiB", "output MiB", "pages", "time/img2pdf", "time/cat",
        "size/img2pdf", "size/inputs")
    print(header)
    print("-" * len(header))
    base = {r["tool"]: r for r in results if "error" not in r}
    ref, floor = base.get("img2pdf"), base.get("cat")
    for r in results:
        if "error" in r:
            print("%-24s failed: %s" % (r["tool"], r["error"]))
            continue
        pages = "-" if r["pages"] is None else str(r["pages"])
        print("%-24s %9.3f %15s %7.2f %9.1f %10.2f %6s %12s %8s %12s %11s" % (
            r["tool"], r["median"], "%.3f-%.3f" % (r["min"], r["max"]), r["cpu"], r["peak"] / 1024.0, mib(r["size"]), pages,
            ratio(r["median"], ref["median"]) if ref else "-",
            ratio(r["median"], floor["median"]) if floor else "-",
            ratio(r["size"], ref["size"]) if ref else "-",
            ratio(r["size"], total)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--work", required=True, help="folder for the outputs")
    parser.add_argument("--batch", action="append", default=[], metavar="NAME=DIR",
                        help="a batch: every file of DIR, in name order")
    parser.add_argument("--leave-out", action="append", default=[], metavar="NAME=TOOL,TOOL",
                        help="tools not run on batch NAME (not for it, or too slow there)")
    parser.add_argument("--tool", action="append", default=[], metavar="NAME=PROGRAM",
                        help="tovrapdf-cli, tovrapdf-compact (--compact), either with -1thread "
                             "(TOVRA_THREADS=1), img2pdf, convert or cat, with the program to run")
    args = parser.parse_args()
    if not os.access(TIME, os.X_OK):
        sys.exit("%s is missing (Debian package: time)" % TIME)

    tools = [t.split("=", 1) for t in args.tool]
    left_out = {}
    for entry in args.leave_out:
        name, names = entry.split("=", 1)
        left_out.setdefault(name, set()).update(n for n in names.split(",") if n)
    os.makedirs(args.work, exist_ok=True)
    for batch in args.batch:
        name, folder = batch.split("=", 1)
        inputs = sorted(os.path.join(folder, f) for f in os.listdir(folder) if not f.startswith("."))
        if not inputs:
            continue
        batch_tools = [t for t in tools if t[0] not in left_out.get(name, ())]
        print_table(name, inputs, measure(name, batch_tools, inputs, args.work, args.runs))
        sys.stdout.flush()


if __name__ == "__main__":
    main()
