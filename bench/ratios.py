#!/usr/bin/env python3
"""Runs tavrik_bench with repetitions and prints each benchmark's fastest time and its ratio to
the memcpy reference of the same run (the fastest repetition is the least disturbed by the
machine).

Usage: bench/ratios.py build/native/bench/tavrik_bench [--benchmark_filter=...]
"""
import collections
import json
import subprocess
import sys

binary, *extra = sys.argv[1:]
out = subprocess.run([binary, "--benchmark_repetitions=7", "--benchmark_format=json", *extra],
                     check=True, capture_output=True, text=True).stdout
times = collections.defaultdict(list)
for run in json.loads(out)["benchmarks"]:
    if run.get("run_type") == "iteration":
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[run["time_unit"]]
        times[run["run_name"]].append(run["real_time"] * scale)
reference = min(times.get("BM_Reference_Memcpy147", [float("nan")]))
for name, values in times.items():
    print(f"{name:46s} {min(values):9.3f} ms  {min(values) / reference:7.2f} x reference")
