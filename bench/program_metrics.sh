#!/usr/bin/env bash
# Figures of the real program in an 80 x 25 pseudo-terminal, on a scratch copy of the demo
# suite: bytes of the first frame, bytes for a move to the next field, peak resident
# memory and CPU time of a run (start, first frame, Esc), and the instructions of that run
# under callgrind. Start-up and exit times are measured by startup_bench.
# Usage: bench/program_metrics.sh [path-to-zentario]   (default: build/release/zentario)
set -euo pipefail
cd "$(dirname "$0")/.."
binary="$(readlink -f "${1:-build/release/zentario}")"
[[ -x "$binary" ]] || { echo "no program at $binary (build it first)" >&2; exit 1; }
scratch="$(mktemp -d "${TMPDIR:-/tmp}/zt-metrics-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
cp -R suite/. "$scratch/"

python3 - "$binary" "$scratch" <<'PY'
import os, pty, select, struct, fcntl, termios, time, sys, re, subprocess

binary, root = sys.argv[1], sys.argv[2]
env = dict(os.environ, KYBROOT=root + "/", KYBTMP=root + "/TMP/", KYBEXE=root + "/",
           TERM="xterm-256color", ESCDELAY="25", LANG="C.UTF-8")

def spawn(argv):
    # posix_spawn (a vfork-like start) so that the copy of this interpreter made by a fork
    # adds nothing to the child's CPU time.
    master, slave = pty.openpty()
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
    name = os.ttyname(slave)
    os.close(slave)
    actions = [(os.POSIX_SPAWN_OPEN, 0, name, os.O_RDWR, 0),
               (os.POSIX_SPAWN_DUP2, 0, 1), (os.POSIX_SPAWN_DUP2, 0, 2),
               (os.POSIX_SPAWN_CLOSE, master)]
    pid = os.posix_spawn(argv[0], argv, env, file_actions=actions, setsid=True)
    return pid, master

def peak_kb(pid):
    # VmHWM belongs to the program's own memory map (ru_maxrss would also count the
    # process it was started from).
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmHWM:"):
            return int(line.split()[1])
    return -1

def read_until_quiet(fd, quiet):
    data = b""
    while True:
        ready, _, _ = select.select([fd], [], [], quiet)
        if not ready:
            return data
        try:
            chunk = os.read(fd, 65536)
        except OSError:
            return data
        if not chunk:
            return data
        data += chunk

def finish(pid, fd):
    while True:
        ready, _, _ = select.select([fd], [], [], 0.05)
        if ready:
            try:
                if not os.read(fd, 65536):
                    break
            except OSError:
                break
        done, status, usage = os.wait4(pid, os.WNOHANG)
        if done:
            return status, usage
    _, status, usage = os.wait4(pid, 0)
    return status, usage

# 1. Bytes: first frame (everything up to the first quiet moment, terminal set-up
#    included), then Enter (a move to the next field), then Esc twice to leave.
runs = []
for _ in range(5):
    pid, fd = spawn([binary])
    first = read_until_quiet(fd, 0.3)
    hwm = peak_kb(pid)
    os.write(fd, b"\r")
    move = read_until_quiet(fd, 0.3)
    os.write(fd, b"\x1b")
    time.sleep(0.1)
    os.write(fd, b"\x1b")
    status, usage = finish(pid, fd)
    os.close(fd)
    runs.append((len(first), len(move), hwm))
first_bytes = min(r[0] for r in runs)
move_bytes = min(r[1] for r in runs)
peak = max(r[2] for r in runs)

# 2. CPU and peak memory of start, first frame and exit on Esc.
cpu = []
for _ in range(10):
    pid, fd = spawn([binary])
    read_until_quiet(fd, 0.2)
    peak = max(peak, peak_kb(pid))
    os.write(fd, b"\x1b")
    status, usage = finish(pid, fd)
    os.close(fd)
    cpu.append(usage.ru_utime + usage.ru_stime)
cpu.sort()

# 3. Instructions of start, first frame and exit on Esc under callgrind.
log = os.path.join(root, "callgrind.log")
out = os.path.join(root, "callgrind.out")
pid, fd = spawn(["/usr/bin/valgrind", "--tool=callgrind", "--log-file=" + log,
                 "--callgrind-out-file=" + out, binary])
read_until_quiet(fd, 3.0)
os.write(fd, b"\x1b")
finish(pid, fd)
os.close(fd)
text = open(log).read()
match = re.search(r"Collected : (\d+)", text)
instructions = int(match.group(1)) if match else -1

print("first frame bytes            %8d   (goal < 1,700)" % first_bytes)
print("move to next field bytes     %8d   (goal < 94)" % move_bytes)
print("peak resident memory (KB)    %8d   (goal < 2,560)" % peak)
print("CPU start+frame+Esc (ms)     %8.2f   median of 10 (goal < 3)" % (cpu[len(cpu) // 2] * 1000))
print("instructions start+frame+Esc %8d   (goal < 2,500,000)" % instructions)
PY
