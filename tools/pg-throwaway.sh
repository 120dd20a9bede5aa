#!/usr/bin/env bash
# Starts a throw-away PostgreSQL cluster on a free loopback port: `pg-throwaway.sh start DIR [PORT]` prints the port;
# `pg-throwaway.sh stop DIR` stops it and removes DIR. The server refuses to run as root, so the cluster belongs to postgres.
# `start` trades durability for speed (fsync, synchronous_commit and full_page_writes off), which suits the tests;
# `start-durable` keeps the server's default durability, as a shop's server runs: the benchmarks need it.
# `halt DIR` stops the server and keeps its data; `resume DIR` starts it again on the same port (a server
# that went away and came back, for the reconnect tests).
#
# The port: one that is given is taken as it is. Otherwise it is chosen from 10000-65535 (clear of the privileged
# ports and of most services' own, PostgreSQL's 5432 among them) less the kernel's ephemeral range
# (/proc/sys/net/ipv4/ip_local_port_range), from which every outgoing connection of any client on the machine
# takes its local port: such a connection can hold a port that nothing listens on, and the server can't bind it.
# SHOPDESK_PG_PORT_RANGE=LO-HI narrows the choice to LO-HI (still less the ephemeral range).
# A chosen port is reserved for the life of the cluster, halted or not: a link /tmp/shopdesk-pg-ports/PORT naming
# the cluster's folder, made under a lock, so that concurrent starts never choose the same port; `stop` removes it,
# and a later start takes it back once its folder is gone (a run that was killed keeps no port for ever).
# Should the port still be taken when the server starts, the server is started again on another port, a few times.
set -euo pipefail
cmd=$1 dir=$2
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
ports=/tmp/shopdesk-pg-ports
as_pg() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }

# Starts the server of $dir on $1 with the options $2; what pg_ctl said is kept in $said and the server's log
# tells why it failed. The socket's folder is named whole: the server would take a relative one from its data folder.
pg_start() {
  said=$(as_pg "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-p $1 -c listen_addresses=127.0.0.1 -k $home $2 -c max_connections=200" start 2>&1 >/dev/null)
}

# The ports to choose from, as "LO HI" lines.
port_ranges() {
  local lo=10000 hi=65535 eph_lo=32768 eph_hi=60999 line
  if [[ ${SHOPDESK_PG_PORT_RANGE:-} =~ ^([0-9]+)-([0-9]+)$ ]]; then
    lo=${BASH_REMATCH[1]} hi=${BASH_REMATCH[2]}
    ((lo >= 1024)) || lo=1024
    ((hi <= 65535)) || hi=65535
  fi
  # Linux's own default when the range can't be read.
  line=$(cat /proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || true)
  [[ $line =~ ^([0-9]+)[[:space:]]+([0-9]+)$ ]] && eph_lo=${BASH_REMATCH[1]} eph_hi=${BASH_REMATCH[2]}
  if ((eph_hi < lo || eph_lo > hi)); then
    echo "$lo $hi"
  elif ((eph_lo > lo || eph_hi < hi)); then
    ((eph_lo > lo)) && echo "$lo $((eph_lo - 1))"
    ((eph_hi < hi)) && echo "$((eph_hi + 1)) $hi"
  else
    # The ephemeral range covers them all: choose among them anyway and count on starting again.
    echo "$lo $hi"
  fi
  return 0
}

# True when the reservation of $1 is kept by a cluster: its folder is there and, once started, runs on that port.
reservation_live() {
  local owner
  owner=$(readlink "$ports/$1") || return 1
  [ -d "$owner" ] || return 1
  [ ! -f "$owner/port" ] || [ "$(cat "$owner/port")" = "$1" ]
}

# Reserves port $1 for this cluster, taking back a reservation that outlived its cluster. Run under the lock.
reserve() {
  if [ -L "$ports/$1" ]; then
    [ "$(readlink "$ports/$1")" = "$home" ] && return 0
    reservation_live "$1" && return 1
    rm -f "$ports/$1"
  fi
  ln -sT "$home" "$ports/$1" 2>/dev/null
}

# Gives back this cluster's reservation of $1.
release() {
  if [ "$(readlink "$ports/$1" 2>/dev/null)" = "$home" ]; then rm -f "$ports/$1"; fi
}

# Reserves and prints a free port that is not one of $tried, looking from a random place in the ranges on.
# Run under the lock.
pick_port() {
  local ranges count=0 lo hi first i k port
  ranges=$(port_ranges)
  while read -r lo hi; do count=$((count + hi - lo + 1)); done <<<"$ranges"
  ((count > 0)) || { echo "no ports to choose from in ${SHOPDESK_PG_PORT_RANGE:-}" >&2; return 1; }
  first=$(((RANDOM * 32768 + RANDOM) % count))
  for ((i = 0; i < count; i++)); do
    k=$(((first + i) % count))
    while read -r lo hi; do
      if ((k <= hi - lo)); then port=$((lo + k)); break; fi
      k=$((k - (hi - lo + 1)))
    done <<<"$ranges"
    [ "$port" -ne 5432 ] || continue
    [[ " $tried " != *" $port "* ]] || continue
    reserve "$port" || continue
    # Something that is no cluster of ours answers there (a listener too busy to answer isn't waited for).
    if timeout 2 bash -c 'exec 3<>"/dev/tcp/127.0.0.1/$0"' "$port" 2>/dev/null; then
      release "$port"
      continue
    fi
    echo "$port"
    return 0
  done
  echo "no free port left in $(tr ' \n' '-,' <<<"$ranges" | sed 's/,$//')" >&2
  return 1
}

# Runs $@ holding the lock on the reservations (the lock goes with the file descriptor, so no server keeps it).
locked() {
  (
    flock -x 9
    "$@"
  ) 9<"$ports"
}

case "$cmd" in
start|start-durable)
  given=${3:-}
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  home=$(cd "$dir" && pwd -P)
  mkdir -p -m 1777 "$ports"
  as_pg "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  fast="-c fsync=off -c synchronous_commit=off -c full_page_writes=off"
  [ "$cmd" = start-durable ] && fast=""
  tried=""
  for attempt in 1 2 3 4 5 6; do
    if [ -n "$given" ]; then
      port=$given
      locked reserve "$port" || { echo "port $port is kept for $(readlink "$ports/$port")" >&2; exit 1; }
    else
      port=$(locked pick_port)
    fi
    logged=$(stat -c %s "$dir/server.log" 2>/dev/null || echo 0)
    if pg_start "$port" "$fast"; then
      echo "$fast" >"$dir/options" && echo "$port" >"$dir/port"
      echo "$port"
      exit 0
    fi
    release "$port"
    # Another port only when this one was taken, and never in place of a port that was given.
    failure=$(tail -c +$((logged + 1)) "$dir/server.log" 2>/dev/null || true)
    if [ -n "$given" ] || ! grep -qE 'could not bind|Address already in use|could not create any TCP/IP sockets' <<<"$failure"; then
      break
    fi
    tried="$tried $port"
  done
  echo "$said" >&2
  cat "$dir/server.log" >&2
  exit 1
  ;;
halt)
  as_pg "$bin/pg_ctl" -D "$dir/data" -m fast -w -t 60 stop >/dev/null
  ;;
resume)
  home=$(cd "$dir" && pwd -P)
  port=$(cat "$dir/port") fast=$(cat "$dir/options")
  pg_start "$port" "$fast" || { echo "$said" >&2; cat "$dir/server.log" >&2; exit 1; }
  ;;
stop)
  [ -d "$dir/data" ] && as_pg "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
  if [ -d "$dir" ]; then
    home=$(cd "$dir" && pwd -P)
    for link in "$ports"/*; do
      if [ -L "$link" ]; then release "${link##*/}"; fi
    done
  fi
  rm -rf "$dir"
  ;;
esac
