#!/usr/bin/env bash
# The real window program in a real X server, driven from the keyboard like a technician:
# open a configuration named on the command line, type a letter that is no mnemonic, find the
# transmitter on a port of the system's list and choose it, write it (mnemonic, confirmation),
# run the measurement and save its record, close. The simulator's memory afterwards must equal
# what vtr8ctl writes for the same file into a fresh simulator. Then a point-file configuration's
# table window is left with Tab and closed with Escape.
# Usage: window_end_to_end.sh VTR8 VTR8CTL VTR8SIM CONFIG
set -euo pipefail
vtr8=$1 ctl=$2 sim=$3 config=$4
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup)"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.err; do echo "--- $f"; tail -20 "$f"; done; exit 1; }
waitfor() { # seconds, command...
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.err" &
pids+=($!)
waitfor 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$work/display")"
# The program keeps its port choice and folders under the user's settings: a fresh home.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=xcb
mkdir -p "$HOME"

start_sim() { # name
  "$sim" --input 25 --trace --link "$work/$1" --dump "$work/$1.bin" >"$work/$1.out" 2>"$work/$1.err" &
  pids+=($!)
  eval "${1}_pid=$!"
  waitfor 10 test -e "$work/$1" || fail "vtr8-sim did not start"
}
stop_sim() { # name
  local pid; pid=$(eval echo "\$${1}_pid")
  kill -TERM "$pid"; wait "$pid" || true
  test -s "$work/$1.bin" || fail "no memory image from $1"
}

# The transmitter hangs on a USB-like port that only the system's list offers; COM1…COM8 lead
# nowhere, so whatever reaches the simulator went through the port chosen in the list.
start_sim window
for n in 1 2 3 4 5 6 7 8; do export "VTR8_COM$n=$work/absent$n"; done
export VTR8_EXTRA_PORTS="ttyUSB7=$work/window"
"$vtr8" "$config" >"$work/vtr8.out" 2>"$work/vtr8.err" &
vtr8_pid=$!
pids+=($vtr8_pid)

# No window manager: the keyboard goes to whichever window gets the input focus.
main=$(xdotool search --sync --onlyvisible --name "Ovládací program" | head -1)
[ -n "$main" ] || fail "the main window did not appear"
sleep 1
key() { # window keys...
  local w=$1; shift
  xdotool windowfocus --sync "$w" 2>/dev/null || xdotool windowfocus "$w"
  xdotool key --clearmodifiers "$@"
}
dialog() { # title: the newest visible window of that title
  waitfor 10 sh -c "xdotool search --onlyvisible --name '$1' >/dev/null" || return 1
  xdotool search --onlyvisible --name "$1" | tail -1
}

# Alt+X is no mnemonic of the window: it must leave the opened configuration as it was (the
# memory written below is compared with vtr8ctl's write of the same file).
key "$main" alt+x
sleep 0.3
key "$main" alt+k                        # "&Komunikace"
ports=$(dialog '^Com$') || fail "the port window did not open"
key "$ports" alt+n                       # "&Najít převodník"
waitfor 30 test -s "$work/window.err" || fail "the search asked nothing on ttyUSB7"
sleep 3
key "$ports" Return                      # Enter on the transmitter found takes it, as OK does
waitfor 10 sh -c "! xdotool search --onlyvisible --name '^Com$' >/dev/null" ||
  fail "the port window did not close"
key "$main" alt+u                        # "&Uložit vše do převodníku"
question=$(dialog '^VTR8$') || fail "no confirmation question"
key "$question" alt+a                    # "&Ano"
waitfor 60 grep -q 'Continue' "$work/window.err" || fail "the write did not end"
sleep 1
# A closing report, if the write shows one, is acknowledged with Enter.
if box=$(xdotool search --onlyvisible --name '^VTR8$' 2>/dev/null | tail -1) && [ -n "$box" ]; then
  key "$box" Return
fi

key "$main" alt+m                        # "&Měření"
measure=$(dialog '^Měření$') || fail "the measurement window did not open"
key "$measure" alt+s                     # "&Start měření"
sleep 6
key "$measure" alt+t                     # "S&top"
key "$measure" alt+u                     # "&Uložit záznam"
save=$(dialog 'Uložit záznam') || fail "no file dialog for the record"
sleep 0.5
xdotool windowfocus --sync "$save" 2>/dev/null || true
xdotool type --delay 20 "$work/run.csv"
xdotool key Return
waitfor 10 test -s "$work/run.csv" || fail "the record was not saved"
readings=$(($(wc -l <"$work/run.csv") - 1))
[ "$readings" -ge 3 ] || fail "only $readings readings in the trend's record"
head -1 "$work/run.csv" | grep -qx 'time,value,unit' || fail "bad record header"
key "$measure" alt+z                     # "&Zavřít"
waitfor 10 sh -c "! xdotool search --onlyvisible --name '^Měření$' >/dev/null" ||
  fail "the measurement window did not close"

# The main window has no button of its own to end the program; its close box is the window
# manager's, which this server has none of. End it as the session would.
kill -TERM "$vtr8_pid"; wait "$vtr8_pid" || true
stop_sim window

# A configuration linearized from a point file asks for the file and shows its points in the
# table window, which the keyboard leaves: Tab out of the grid, then Escape closes it.
printf 'Konfigurační data pro VTR8:\r\n\r\nvstup: napětí\r\ndolní mez: 0\r\nhorní mez: 100\r\njednotka: %%\r\nlinearizace: ze souboru\r\ntlumení: 1s\r\nchybový proud: vyřazen\r\nzeslabení děličem: 1\r\n' |
  iconv -f utf-8 -t cp1250 >"$work/tank.txt"
printf '0 0\r\n0.25 20\r\n0.5 50\r\n0.75 80\r\n1 100\r\n' >"$work/tank-points.txt"
"$vtr8" "$work/tank.txt" >"$work/vtr8-table.out" 2>"$work/vtr8-table.err" &
table_pid=$!
pids+=($table_pid)
points=$(dialog 'Linearizační soubor') || fail "no file dialog for the point file"
sleep 0.5
xdotool windowfocus --sync "$points" 2>/dev/null || true
xdotool type --delay 20 "$work/tank-points.txt"
xdotool key Return
table=$(dialog 'Hodnoty linearizačního souboru') || fail "the table window did not open"
sleep 0.5
key "$table" Tab
key "$table" Escape
waitfor 10 sh -c "! xdotool search --onlyvisible --name 'Hodnoty linearizačního souboru' >/dev/null" ||
  fail "Tab, then Escape did not close the table window"
kill -TERM "$table_pid"; wait "$table_pid" || true

start_sim cli
"$ctl" --port "$work/cli" --yes write "$config" >"$work/ctl.out" 2>"$work/ctl.err" || fail "vtr8ctl write"
stop_sim cli
cmp "$work/window.bin" "$work/cli.bin" || fail "the window and vtr8ctl left different memories"
echo "window write equals vtr8ctl write; $readings readings recorded"
