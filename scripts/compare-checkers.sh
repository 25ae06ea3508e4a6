#!/usr/bin/env bash
# Compares this tree's checker with a revision's, byte for byte, for a
# change meant to keep the checker's behaviour:
#
#   bash scripts/compare-checkers.sh [REVISION] [--page-moved]
#
# REVISION (main by default) is built as the release-native kind is
# (scripts/builds.sh) in build/compare-base, from its files alone (git
# archive); this tree's checker is build/release-native's. Then
# scripts/compare_checkers.py runs every command line through both and
# prints what differs and the count compared (--page-moved: a change of
# the page's scripts and help is expected). Exits 1 when anything differs.
set -euo pipefail
cd "$(dirname "$0")/.."
REVISION=${1:-main}
shift || true
BASE=build/compare-base
. scripts/builds.sh

commit=$(git rev-parse --verify "$REVISION^{commit}")
if [ "$(cat "$BASE/commit" 2>/dev/null)" != "$commit" ]; then
  rm -rf "$BASE/source"
  mkdir -p "$BASE/source"
  git archive "$commit" | tar -x -C "$BASE/source"
  echo "$commit" >"$BASE/commit"
fi
echo "compare-checkers: building $REVISION (${commit:0:12}) in $BASE and this tree"
mapfile -t flags < <(lorvane_build_flags release-native)
lorvane_configure "$BASE/configure.log" -S "$BASE/source" -B "$BASE/build" "${flags[@]}" &&
  lorvane_build "$BASE/build.log" "$BASE/build" -j"${JOBS:-2}" --target lorvane-check
lorvane_build_kind release-native "" lorvane-check
python3 scripts/compare_checkers.py "$@" "$BASE/build/check/lorvane-check" \
  "$(lorvane_build_dir release-native)/check/lorvane-check"
