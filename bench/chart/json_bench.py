#!/usr/bin/env python3
"""Times the JSON reader and writer (json_bench) and Python's json module on
the same 10 MB document in one run, and prints the ratio.

  bench/chart/json_bench.py [path to json_bench]   (default build/native)
"""
import json
import os
import pathlib
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]


def find_bench():
    if len(sys.argv) > 1:
        return pathlib.Path(sys.argv[1])
    for preset in ("native",):
        p = ROOT / "build" / preset / "bench" / "chart" / "json_bench"
        if p.exists():
            return p
    raise SystemExit("json_bench not built: cmake --build --preset native --target json_bench")


def best_of(runs, work):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        work()
        best = min(best, time.perf_counter() - start)
    return best


def main():
    bench = find_bench()
    with tempfile.TemporaryDirectory() as tmp:
        doc = pathlib.Path(tmp) / "json_bench.json"
        env = dict(os.environ, QUORVEL_JSON_BENCH_FILE=str(doc))
        out = subprocess.run([str(bench), "--benchmark_format=json"], env=env, check=True,
                             capture_output=True, text=True).stdout
        ours = {b["name"]: b["bytes_per_second"] / 1e6 for b in json.loads(out)["benchmarks"]}
        data = doc.read_bytes()
    size = len(data) / 1e6
    value = json.loads(data)
    py_read = size / best_of(5, lambda: json.loads(data))
    written = json.dumps(value, ensure_ascii=True, separators=(",", ":")).encode("ascii")
    py_write = len(written) / 1e6 / best_of(5, lambda: json.dumps(value, ensure_ascii=True, separators=(",", ":")))
    print("document: %.1f MB" % size)
    print("read:  ours %7.1f MB/s   Python json %7.1f MB/s   ratio %.2f" % (ours["BM_Read"], py_read, ours["BM_Read"] / py_read))
    print("write: ours %7.1f MB/s   Python json %7.1f MB/s   ratio %.2f" % (ours["BM_Write"], py_write, ours["BM_Write"] / py_write))


if __name__ == "__main__":
    main()
