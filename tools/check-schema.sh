#!/usr/bin/env bash
# Builds a throw-away database from db/sqlite.sql and one from db/postgres.sql, prints their tables with columns,
# their indexes and their shipped rows, and fails when the two differ.
# PostgreSQL side: the server in SHOPDESK_PG_HOST / SHOPDESK_PG_PORT (user postgres, no password).
# Column names are compared with ASCII letters lower-cased, since PostgreSQL folds unquoted names (原始ID -> 原始id).
# The server's trigram indexes (names ending in _trgm) and its schema_version table have no SQLite
# counterpart, nor have SQLite's trigram index stock_search (FTS5, with its own tables) and triggers:
# they are left out. Both must set the same schema version (PRAGMA user_version / schema_version).
set -euo pipefail
: "${SHOPDESK_PG_HOST:?set SHOPDESK_PG_HOST and SHOPDESK_PG_PORT}" "${SHOPDESK_PG_PORT:?set SHOPDESK_PG_PORT}"
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
db=schemacheck_$$
pg=(-h "$SHOPDESK_PG_HOST" -p "$SHOPDESK_PG_PORT" -U postgres)
trap 'dropdb "${pg[@]}" --if-exists "$db" >/dev/null 2>&1 || true; rm -rf "$tmp"' EXIT
export LC_ALL=C

sqlite3 -bail "$tmp/x.db" <"$root/db/sqlite.sql"
createdb "${pg[@]}" -T template0 -E UTF8 --lc-collate=C --lc-ctype=C "$db"
psql "${pg[@]}" -d "$db" -q -v ON_ERROR_STOP=1 -f "$root/db/postgres.sql" >/dev/null

lite() { sqlite3 -separator '|' "$tmp/x.db" "$@"; }
pgq() { psql "${pg[@]}" -d "$db" -At -F '|' -c "$1"; }

tables=$(lite "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'
               AND name NOT LIKE 'stock_search%' ORDER BY name")
{
  echo "schema version $(lite "PRAGMA user_version")"
  for t in $tables; do
    echo "$t: $(lite "SELECT group_concat(lower(name) || ' ' || lower(type), ', ') FROM pragma_table_info('$t')")"
  done
  lite "SELECT m.name || ' ON ' || m.tbl_name || ' (' || (SELECT group_concat(lower(name), ', ') FROM pragma_index_info(m.name)) || ')'
        FROM sqlite_master m WHERE m.type='index' AND m.name NOT LIKE 'sqlite_%' ORDER BY m.name"
  for t in $tables; do lite "SELECT '$t', * FROM $t ORDER BY id"; done
} >"$tmp/sqlite.txt"
{
  echo "schema version $(pgq "SELECT version FROM schema_version")"
  for t in $(pgq "SELECT table_name FROM information_schema.tables WHERE table_schema='public'
                  AND table_name <> 'schema_version' ORDER BY table_name"); do
    echo "$t: $(pgq "SELECT string_agg(column_name || ' ' || CASE WHEN column_name='id' THEN 'integer' ELSE data_type END,
                     ', ' ORDER BY ordinal_position) FROM information_schema.columns
                     WHERE table_schema='public' AND table_name='$t'")"
  done
  pgq "SELECT i.relname || ' ON ' || t.relname || ' (' ||
              (SELECT string_agg(a.attname, ', ' ORDER BY k.n) FROM unnest(x.indkey) WITH ORDINALITY k(att, n)
               JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.att) || ')'
       FROM pg_index x JOIN pg_class i ON i.oid = x.indexrelid JOIN pg_class t ON t.oid = x.indrelid
       JOIN pg_namespace s ON s.oid = t.relnamespace
       WHERE s.nspname = 'public' AND NOT x.indisprimary AND i.relname NOT LIKE '%\\_trgm' ORDER BY i.relname"
  for t in $tables; do pgq "SELECT '$t', * FROM $t ORDER BY id"; done
} >"$tmp/postgres.txt"

echo "== SQLite (db/sqlite.sql)"; cat "$tmp/sqlite.txt"
echo "== PostgreSQL (db/postgres.sql)"; cat "$tmp/postgres.txt"
if diff -u "$tmp/sqlite.txt" "$tmp/postgres.txt"; then
  echo "schemas agree"
else
  echo "schemas differ" >&2
  exit 1
fi
