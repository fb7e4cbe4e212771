#!/usr/bin/env bash
# A program waiting for a key uses no processor time: input is waited for, not polled.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_make_suite
e2e_start
e2e_wait_format '#{alternate_on}' 1 10
sleep 0.5
pid="$(e2e_pid)"
[[ -n "$pid" ]] || e2e_fail "program not running"

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
before="$(cpu_ticks "$pid")"
sleep 2
after="$(cpu_ticks "$pid")"
used=$((after - before))
# A few clock ticks at most (a tick is usually 10 ms); a spinning loop would use ~200.
((used <= 5)) || e2e_fail "the idle program used $used clock ticks in 2 s"

# Keys still work after the idle time.
e2e_keys Escape
e2e_wait_exit 10
[[ "$E2E_STATUS" == 0 ]] || e2e_fail "exit status $E2E_STATUS"
echo "PASS ($used ticks in 2 s)"
