#!/usr/bin/env bash
# Writes every configuration of examples/ and tests/baseline/configs/ with vtr8ctl into a fresh
# vtr8-sim on firmware 14 and 255, then verifies and reads it back. Keeps, per case, the
# simulator's memory and each command's stdout, stderr and exit status in OUT_DIR, so that two
# builds can be compared with `diff -r`:
#   tests/baseline/run.sh BUILD_DIR OUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:?build dir}
out=${2:?output dir}
build=$(cd "$build" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
ctl=$build/src/cli/vtr8ctl
sim=$build/src/sim/vtr8-sim
# A fixed folder: the port's name appears in messages.
work=/tmp/vtr8-baseline-work
rm -rf "$work"
mkdir -p "$work/home"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
sim_pid=
stop_sim() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
  fi
}
trap stop_sim EXIT

points=$here/points.txt
cases=()
for f in "$root"/examples/*.txt "$here"/configs/*.txt; do
  [ "$(basename "$f")" = tank-level-points.txt ] && continue
  [ "$f" = "$points" ] && continue
  cases+=("$(basename "$f" .txt)|$f|")
done
cases+=("voltage-points-polynomial|$here/configs/voltage-points-segments.txt|--points $points --method polynomial --degree 3")

run() { # NAME then the command's arguments
  local name=$1
  shift
  set +e
  "$ctl" --port "$work/link" --no-history "$@" >"$case_dir/$name.out" 2>"$case_dir/$name.err"
  echo $? >"$case_dir/$name.exit"
  set -e
}

for firmware in 14 255; do
  for c in "${cases[@]}"; do
    IFS='|' read -r name file extra <<<"$c"
    if [ -z "$extra" ] && [[ "$name" == *points* ]]; then
      extra="--points $points --method segments"
    fi
    case_dir=$out/$firmware/$name
    mkdir -p "$case_dir"
    rm -f "$work/link"
    "$sim" --firmware "$firmware" --link "$work/link" --dump "$case_dir/memory.bin" \
      >/dev/null 2>&1 &
    sim_pid=$!
    for _ in $(seq 50); do [ -e "$work/link" ] && break; sleep 0.1; done
    # shellcheck disable=SC2086
    run write --yes write "$file" $extra
    # shellcheck disable=SC2086
    run verify verify "$file" $extra
    run read read
    stop_sim
  done
done
echo "$(find "$out" -name memory.bin | wc -l) memories in $out"
