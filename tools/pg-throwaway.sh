#!/usr/bin/env bash
# Starts a throw-away PostgreSQL cluster on a free loopback port: `pg-throwaway.sh start DIR [PORT]` prints the port;
# `pg-throwaway.sh stop DIR` stops it and removes DIR. The server refuses to run as root, so the cluster belongs to postgres.
# `start` trades durability for speed (fsync, synchronous_commit and full_page_writes off), which suits the tests;
# `start-durable` keeps the server's default durability, as a shop's server runs: the benchmarks need it.
# `halt DIR` stops the server and keeps its data; `resume DIR` starts it again on the same port (a server
# that went away and came back, for the reconnect tests).
set -euo pipefail
cmd=$1 dir=$2
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_pg() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
case "$cmd" in
start|start-durable)
  port=${3:-}
  if [ -z "$port" ]; then
    # A random high port that nothing answers on.
    for _ in $(seq 100); do
      port=$((20000 + RANDOM % 40000))
      (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || break
    done
  fi
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  as_pg "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  fast="-c fsync=off -c synchronous_commit=off -c full_page_writes=off"
  [ "$cmd" = start-durable ] && fast=""
  as_pg "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-p $port -c listen_addresses=127.0.0.1 -k $dir $fast -c max_connections=200" \
    start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
  echo "$fast" >"$dir/options" && echo "$port" >"$dir/port"
  echo "$port"
  ;;
halt)
  as_pg "$bin/pg_ctl" -D "$dir/data" -m fast -w -t 60 stop >/dev/null
  ;;
resume)
  port=$(cat "$dir/port") fast=$(cat "$dir/options")
  as_pg "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-p $port -c listen_addresses=127.0.0.1 -k $dir $fast -c max_connections=200" \
    start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
  ;;
stop)
  [ -d "$dir/data" ] && as_pg "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$dir"
  ;;
esac
