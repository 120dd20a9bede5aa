#!/usr/bin/env bash
# Installs what is missing, builds, prepares the program directory as an installer would, and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
tools/deps.sh

build=$root/build-release
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSHOPDESK_TESTS=OFF -DSHOPDESK_BENCH=OFF >/dev/null
ninja -C "$build" shopdesk

home=${SHOPDESK_HOME:-$root/var}
mkdir -p "$home/backup" "$home/LOGO"
# The embedded database and the settings file are made only when missing: a user's data is never overwritten.
if [ ! -e "$home/qi.db" ]; then
  sqlite3 "$home/qi.db" < "$root/db/sqlite.sql"
  echo "Made the empty database $home/qi.db"
fi
if [ ! -e "$home/sql.ini" ]; then
  # 当前版本 = 单机版, enciphered with the settings key; the file is GBK with CRLF line ends.
  printf '[版本配置]\r\n当前版本=4B8929BC7A38\r\n' | iconv -f UTF-8 -t GBK > "$home/sql.ini"
  echo "Made $home/sql.ini (single-machine mode)"
fi
# The print layouts ship with the program; the user's own print.ini is never replaced.
if [ ! -e "$home/print.ini" ]; then
  cp "$root/share/print.ini" "$home/print.ini"
  echo "Put the print layouts into $home/print.ini"
fi
# The help page and the network database's template ship with the program; a newer one replaces an older copy.
cp -u "$root/share/帮助.html" "$home/帮助.html"
cp -u "$root/db/postgres.sql" "$home/postgres.sql"
exec "$build/src/app/shopdesk" --home "$home" "$@"
