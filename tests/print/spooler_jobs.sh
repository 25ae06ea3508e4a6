#!/usr/bin/env bash
# spooler_jobs.sh JOBS COMMAND...: runs one GoogleTest test and fails unless
# exactly one test ran and passed and it left exactly JOBS new jobs with
# CUPS. `lpstat -W all -o` lists finished jobs too, and Wine hands a
# document to CUPS while the program ends it. CUPS is shared machine-wide:
# another program printing meanwhile fails this, so run it alone first.
set -euo pipefail
expected=$1
shift
lpstat -r 2>/dev/null | grep -q "is running" || { echo "spooler_jobs: no CUPS running"; exit 1; }
list_jobs() { { lpstat -W all -o 2>/dev/null || true; } | awk '{print $1}' | sort; }
before=$(list_jobs)
rc=0
out=$("$@" 2>&1) || rc=$?
new=$(comm -13 <(printf '%s\n' "$before") <(list_jobs) | grep . || true)
printf '%s\n' "$out"
if [ "$rc" != 0 ] || ! grep -q '^\[  PASSED  \] 1 test\.' <<<"$out"; then
  echo "spooler_jobs: the test did not run and pass"
  exit 1
fi
if [ "$(grep -c . <<<"$new")" != "$expected" ]; then
  echo "spooler_jobs: new print jobs: ${new:-none}; expected $expected"
  exit 1
fi
