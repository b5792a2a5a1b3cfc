#!/usr/bin/env bash
# Downloads the same 200 MB body over loopback with InternetConn::downloadUrl and with curl,
# plain and gzip-encoded, in one run: median throughput of each, their ratio, their median
# processor time (user and system), and the peak memory of a plain download. curl writes to
# a file on tmpfs, as downloadUrl keeps the body in memory (--compressed for the gzip row);
# a download to a stream that keeps nothing shows what storing the body costs. Last, a
# 1 MB gzip body that inflates to 1 GB: how it ends, how long it took and the memory it
# took. PG_BENCH_DIR is the release build directory holding bin/netDownloadBench. The
# server is a small Python one that sends the files with sendfile, so that it is not what
# is measured.
set -euo pipefail
dir=${PG_BENCH_DIR:?set PG_BENCH_DIR to the benchmark build directory}
bench="$dir/bin/netDownloadBench"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$bench" "$work" <<'PY'
import gzip, http.server, os, random, resource, statistics, subprocess, sys, threading, time
bench, work = sys.argv[1], sys.argv[2]
size = 200 * 1024 * 1024
random.seed(7)
chunk = "".join(f'<li class="item"><a href="/news/{random.getrandbits(24)}">Item {random.getrandbits(12)}</a></li>\n'
                for _ in range(20000)).encode()
plain = os.path.join(work, "plain")
with open(plain, "wb") as f:
    written = 0
    while written < size:
        part = chunk[: size - written]
        f.write(part)
        written += len(part)
with open(plain, "rb") as f, gzip.open(os.path.join(work, "gzip"), "wb", compresslevel=6) as g:
    while block := f.read(1 << 20):
        g.write(block)
with gzip.open(os.path.join(work, "bomb"), "wb", compresslevel=9) as g:
    zeros = bytes(1 << 20)
    for _ in range(1024):
        g.write(zeros)

class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        name = self.path.strip("/")
        path = os.path.join(work, name)
        self.send_response(200)
        self.send_header("Content-Length", str(os.path.getsize(path)))
        if name in ("gzip", "bomb"):
            self.send_header("Content-Encoding", "gzip")
        self.end_headers()
        self.wfile.flush()
        with open(path, "rb") as f:
            self.connection.sendfile(f)
    def log_message(self, *args):
        pass

server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
threading.Thread(target=server.serve_forever, daemon=True).start()
base = f"http://127.0.0.1:{server.server_address[1]}/"

def timed(command, check=True):
    start = time.perf_counter()
    proc = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    error = proc.stderr.read().decode().strip()
    assert status == 0 or not check, (command, status, error)
    return elapsed, usage.ru_maxrss * 1024, usage.ru_utime, usage.ru_stime, error

# Median processor time of runs, in ms: on a shared machine it moves less than the clock.
def cpu(samples):
    user = statistics.median(s[2] for s in samples) * 1000
    system = statistics.median(s[3] for s in samples) * 1000
    return f"   cpu user {user:4.0f} ms, system {system:4.0f} ms"

# curl keeps the body as downloadUrl must: in a file on tmpfs, whose pages are faulted in
# like the body's.
shm = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else work
kept_file = os.path.join(shm, f"pgBench{os.getpid()}")

runs = 5
results = {}
mb = size / 1e6
for name, curl_options in (("plain", []), ("gzip", ["--compressed"])):
    ours, streamed, theirs = [], [], []
    for _ in range(runs):  # interleaved, so that all see the same machine
        ours.append(timed([bench, "--download", base + name]))
        if name == "plain":
            streamed.append(timed([bench, "--stream", base + name]))
        theirs.append(timed(["curl", "-s", "-o", kept_file, *curl_options, base + name]))
        os.unlink(kept_file)
    ours_s = statistics.median(s[0] for s in ours)
    curl_s = statistics.median(s[0] for s in theirs)
    results[name] = (ours_s, curl_s, max(s[1] for s in ours))
    print(f"{name:5}  downloadUrl {mb / ours_s:7.0f} MB/s   curl -o tmpfs {mb / curl_s:7.0f} MB/s"
          f"   downloadUrl / curl = {curl_s / ours_s:.2f}")
    print(f"{name:5}  downloadUrl{cpu(ours)}   curl{cpu(theirs)}")
    if streamed:
        stream_s = statistics.median(s[0] for s in streamed)
        print(f"{name:5}  downloadToStream, keeping nothing {mb / stream_s:7.0f} MB/s"
              f"   / curl = {curl_s / stream_s:.2f}{cpu(streamed)}")
peak = results["plain"][2]
print(f"peak memory of a plain download: {peak / 2**20:.0f} MiB "
      f"(body {size / 2**20:.0f} MiB; limit body + 20 MiB = {size / 2**20 + 20:.0f} MiB)")
bomb = timed([bench, "--download", base + "bomb"], check=False)
print(f"gzip bomb, {os.path.getsize(os.path.join(work, 'bomb')) / 2**20:.1f} MiB inflating to 1 GiB: "
      f"'{bomb[4]}' after {bomb[0]:.2f} s, peak memory {bomb[1] / 2**20:.0f} MiB")
server.shutdown()
PY
