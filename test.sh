#!/usr/bin/env bash
# Installs what is missing, builds, starts a throw-away PostgreSQL for the network-mode tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
tools/deps.sh

build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build"

pgdir=$(mktemp -d /tmp/shopdesk-pg.XXXXXX)
cleanup() { "$root/tools/pg-throwaway.sh" stop "$pgdir"; }
trap cleanup EXIT
port=$("$root/tools/pg-throwaway.sh" start "$pgdir")
export SHOPDESK_PG_HOST=127.0.0.1 SHOPDESK_PG_PORT=$port
echo "PostgreSQL for the tests: $SHOPDESK_PG_HOST:$SHOPDESK_PG_PORT"

ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 300
