#!/usr/bin/env bash
# tools/pg-throwaway.sh chooses the ports of clusters started at the same time apart, keeps a halted cluster's
# port while other clusters start, takes back the port of a cluster whose folder is gone, starts again on another
# port when the one chosen is taken by a socket that listens on nothing (as an outgoing connection's is), and
# leaves the kernel's ephemeral range alone.
# The clusters are started in small port ranges of their own (SHOPDESK_PG_PORT_RANGE), so that the choice is tight.
set -euo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/tools/pg-throwaway.sh
work=$(mktemp -d /tmp/shopdesk-ports-test.XXXXXX)
chmod 755 "$work" # the server's user reaches the clusters through it
holder=""
cleanup() {
  for c in "$work"/c*; do
    if [ -d "$c" ]; then "$script" stop "$c"; fi
  done
  if [ -n "$holder" ]; then kill "$holder" 2>/dev/null || true; fi
  find /tmp/shopdesk-pg-ports -maxdepth 1 -type l -lname "$work/*" -delete 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A block of 16 ports of 9000-9999 held by sockets bound to nothing else, as a client's connection holds its
# port: BASE keeps the block from another run of this test, BASE+1..BASE+7 are range A,
# BASE+10..BASE+15 range B, of which BASE+10, BASE+12 and BASE+14 stay taken. The holder ends by itself.
python3 - "$work/block" <<'EOF' &
import socket, sys, time, os
for base in range(9000, 9984, 20):
    held = []
    try:
        for port in range(base, base + 16):
            s = socket.socket()
            held.append(s)
            s.bind(("127.0.0.1", port))
    except OSError:
        for s in held:
            s.close()
        continue
    for port in range(base + 1, base + 16):
        if port not in (base + 10, base + 12, base + 14):
            held[port - base].close()
    with open(sys.argv[1] + ".new", "w") as f:
        f.write(str(base))
    os.rename(sys.argv[1] + ".new", sys.argv[1])
    time.sleep(120)
    break
EOF
holder=$!
for _ in $(seq 100); do [ -f "$work/block" ] && break; sleep 0.05; done
[ -f "$work/block" ] || fail "no block of free ports in 9000-9999"
base=$(cat "$work/block")
range_a="$((base + 1))-$((base + 7))" range_b="$((base + 10))-$((base + 15))"

# Starts cluster $1 in the range $2 in the background; its port lands in $1.port.
starting=()
start_in() {
  SHOPDESK_PG_PORT_RANGE=$2 "$script" start "$work/$1" >"$work/$1.port" 2>"$work/$1.err" &
  starting+=($!)
}
# The port a started cluster printed, after its start ended well.
port_of() { cat "$work/$1.port"; }
# The cluster on port $2 is cluster $1.
answers() {
  local seen
  seen=$(psql -h 127.0.0.1 -p "$2" -U postgres -Atc 'show data_directory' 2>&1) || fail "$1 on $2: $seen"
  [ "$seen" = "$(cd "$work/$1" && pwd -P)/data" ] || fail "on port $2 answers $seen, not $1"
}
wait_all() {
  local pid failed=0
  for pid in "${starting[@]}"; do wait "$pid" || failed=1; done
  starting=()
  [ "$failed" -eq 0 ] || { cat "$work"/*.err >&2; fail "a start failed"; }
}

# A reservation in range A left by a run that was killed with its folder gone: it is taken back.
mkdir -p -m 1777 /tmp/shopdesk-pg-ports
ln -sfT "$work/gone" "/tmp/shopdesk-pg-ports/$((base + 7))"

# Six at once in range A, three at once in range B beside them; one in a range that reaches from eight ports below
# the ephemeral range into it, which leaves those eight.
for i in 1 2 3 4 5 6; do start_in "ca$i" "$range_a"; done
for i in 1 2 3; do start_in "cb$i" "$range_b"; done
{ read -r eph_lo _ </proc/sys/net/ipv4/ip_local_port_range; } 2>/dev/null || eph_lo=32768 # as the script reckons
start_in ce "$((eph_lo - 8))-$((eph_lo + 400))"
wait_all

ports=$(for i in 1 2 3 4 5 6; do port_of "ca$i"; done)
[ "$(sort -u <<<"$ports" | wc -l)" -eq 6 ] || fail "range A gave $(echo $ports)"
for i in 1 2 3 4 5 6; do answers "ca$i" "$(port_of "ca$i")"; done
ports_b=$(for i in 1 2 3; do port_of "cb$i"; done)
[ "$(sort -u <<<"$ports_b" | wc -l)" -eq 3 ] || fail "range B gave $(echo $ports_b)"
for i in 1 2 3; do
  port=$(port_of "cb$i")
  [ $(((port - base) % 2)) -eq 1 ] || fail "cb$i got the taken port $port"
  answers "cb$i" "$port"
done
port=$(port_of ce)
((port >= eph_lo - 8 && port < eph_lo)) || fail "ce got $port, in the ephemeral range from $eph_lo on"

# A halted cluster keeps its port: of two more that start at once in its range, where one port is left beside it,
# one takes that port and the other finds none.
halted=$(port_of ca1)
"$script" halt "$work/ca1"
start_in ca7 "$range_a"
start_in ca8 "$range_a"
started=0
for i in 7 8; do
  if wait "${starting[$((i - 7))]}"; then
    started=$((started + 1))
    [ "$(port_of "ca$i")" != "$halted" ] || fail "ca$i took $halted of the halted ca1"
  else
    grep -q "no free port left in $range_a" "$work/ca$i.err" || { cat "$work/ca$i.err" >&2; fail "ca$i did not start"; }
  fi
done
starting=()
[ "$started" -eq 1 ] || fail "$started of ca7 and ca8 started in the one port left"
"$script" resume "$work/ca1" || fail "ca1 did not come back on $halted"
answers ca1 "$halted"

# Stopped clusters leave no reservation behind.
for c in "$work"/c*; do
  if [ -d "$c" ]; then "$script" stop "$c" & starting+=($!); fi
done
wait "${starting[@]}"
left=$(find /tmp/shopdesk-pg-ports -maxdepth 1 -type l -lname "$work/*" | wc -l)
[ "$left" -eq 0 ] || fail "$left reservations left"
echo "ok: ranges at $base, ports $(echo $ports) / $(echo $ports_b) / $(port_of ce)"
