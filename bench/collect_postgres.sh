#!/usr/bin/env bash
# The collection of the demo registry's large dividend day on PostgreSQL, as
# an operator runs it (rek2-batch), against the bare copy of the day's payouts
# on the same server:
#   (a) floor: INSERT INTO a scratch table SELECT the day's payouts
#   (b) first collection, (d) second collection of the same day, and the XML run
#
#   bench/collect_postgres.sh [holders] [build folder]     (default 20000, build-bench)
#   REK2_BENCH_STATEMENTS=300 bench/collect_postgres.sh 100000
#     also lists each statement of the runs that took 300 ms or more (the
#     server's own log), run by run.
#
# Needs the PostgreSQL server package (scripts/install-deps brings it); the
# cluster is a throw-away one of scripts/with-postgres.
set -euo pipefail

holders=${1:-20000}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build-bench}
batch="$build/src/batch/rek2-batch"
if [ ! -x "$batch" ]; then
  echo "collect_postgres: $batch is not built" >&2
  exit 2
fi

if [ -z "${REK2_TEST_POSTGRES:-}" ]; then
  exec "$root/scripts/with-postgres" "$0" "$holders" "$build"
fi

home=$(mktemp -d /tmp/rek2-pgbench.XXXXXX)
trap 'rm -rf "$home"' EXIT
export REK2_HOME=$home
day=2026-12-01
name="bench$holders"
psql "$REK2_TEST_POSTGRES" -qc "CREATE DATABASE $name"
db="$REK2_TEST_POSTGRES dbname=$name"

seconds() { date +%s.%N; }
run() { # label, command...: prints the seconds it took; stops on a failure
  local label=$1
  shift
  local t0 t1
  t0=$(seconds)
  if ! "$@" >"$home/out.txt" 2>&1; then
    echo "$label failed:" >&2
    tail -5 "$home/out.txt" >&2
    exit 1
  fi
  t1=$(seconds)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}

run init "$batch" "$db" operater geslo init --demo --holders "$holders" --days 1 --from "$day" >/dev/null
# The demo's settings, which init writes only beside a database file.
cat >"$home/rek2.ini" <<EOF
[Splošno]
XMLPath=\\xml\\
XMLArhiv=\\arhiv\\
Debug=0
SfDogDvcOdt='DVO','DVT'
EOF
psql "$db" -qc "ANALYZE"
# REK2_BENCH_STATEMENTS=MS: the server logs every statement of the runs that
# takes MS milliseconds or more; they are listed at the end, run by run.
server_log=$(echo "$REK2_TEST_POSTGRES" | sed -n 's/.*host=\([^ ]*\).*/\1/p')/server.log
if [ -n "${REK2_BENCH_STATEMENTS:-}" ]; then
  psql "$db" -qc "ALTER DATABASE $name SET log_min_duration_statement = ${REK2_BENCH_STATEMENTS}"
fi
mark() { if [ -n "${REK2_BENCH_STATEMENTS:-}" ]; then echo "=== $1" >>"$server_log"; fi; }
mark floor
a=$(run floor psql "$db" -qc "CREATE TABLE SCRATCH AS SELECT * FROM DOG WHERE false;
  INSERT INTO SCRATCH SELECT * FROM DOG WHERE SFPDG IN ('=', '@') AND DAN = DATE '$day'")
mark "(b) collection"
b=$(run collect "$batch" "$db" operater geslo collect --from "$day" --to "$day" --ignore-duplicates)
mark "(d) second collection"
d=$(run collect "$batch" "$db" operater geslo collect --from "$day" --to "$day" --ignore-duplicates)
mark "XML run"
x=$(run xml "$batch" "$db" operater geslo xml --from "$day" --to "$day" --all)
payouts=$(psql "$db" -tAc "SELECT COUNT(*) FROM DOG WHERE SFPDG IN ('=', '@') AND DAN = DATE '$day'")
printf '%8d holders, %6d payouts that day (PostgreSQL)\n' "$holders" "$payouts"
printf '   (a) floor %s s  (b) run %s s  (d) second run %s s  XML run %s s\n' "$a" "$b" "$d" "$x"
awk -v a="$a" -v b="$b" -v d="$d" 'BEGIN { printf "   b/a %.1f   d/b %.2f\n", b / a, d / b }'
if [ -n "${REK2_BENCH_STATEMENTS:-}" ]; then
  # Milliseconds, then the statement's first 150 characters.
  grep -E '^=== |duration:' "$server_log" | sed -n '/^=== floor/,$p' |
    sed -E 's/^.*duration: ([0-9.]+) ms +(statement|execute [^:]*): (.{0,150}).*$/   \1 ms  \3/'
fi
