#!/usr/bin/env bash
# footprint.sh - what skeld-config costs while it lives on the desktop:
# exec -> window mapped, RSS, private dirty memory, idle CPU and context
# switches, with the window shown and hidden in the tray, without a mouse and
# with the virtual mouse; ckb-next's GUI as the reference where installed.
#
# Usage: scripts/footprint.sh [-n RUNS] [-i IDLE_S] [-b BUILD_DIR] [-u USER]
#                             [-c CASES] [-k KEEP_DIR]
#   -n RUNS    measured runs per case (default 3; medians are printed)
#   -i IDLE_S  idle window (default 20)
#   -b DIR     build folder with skeld-config and modules/ (default ./build)
#   -u USER    unprivileged user the programs run as (default nobody)
#   -c CASES   comma list of: shown,hidden,mouse-shown,mouse-hidden,restore,ckb
#              (default: all of them; ckb only where ckb-next is installed)
#   -k DIR     keep peer-bench's work files (logs, xev traces) in DIR
#
# Every run goes through ../shared/tools/peer-bench.sh (fresh Xvfb, session
# bus and runtime folder; -m window: exec -> first MapNotify). Xvfb has no
# window manager and no tray, so the window is hidden the way a user does
# it: a click on the window's own close button (top bar of qml/main.qml,
# x 984..1000, y 16..40), which goes through Ui_Controler::onClose. The
# click is made by a probe that peer-bench starts as its helper (-H), so
# the probe's own costs are not counted as the program's. The probe also
# reads Private_Dirty from /proc/PID/smaps_rollup when peer-bench takes its
# memory sample (peer-bench's uss also counts private clean pages), and the
# part of it in the heap and anonymous mappings, and, in
# the "restore" case, times a restore request (the message a second start
# sends) until the window is viewable again.
#
# Hidden cases use a settle time of 7 s so that the window has been hidden
# for at least 5 s when memory is sampled.

set -u -o pipefail
export LC_ALL=C

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)

# Close button centre, in window coordinates (see the header).
CLOSE_X=992 CLOSE_Y=28

now_us() { echo "${EPOCHREALTIME//[.,]/}"; }

private_dirty_kb() {
  awk '/^Private_Dirty:/ { print $2 }' "/proc/$1/smaps_rollup" 2>/dev/null
}

# The part of it in the heap and anonymous mappings (stacks included): what
# the program allocates, without the libraries' relocated data, which is
# fixed by what they link.
anon_dirty_kb() {
  awk '/^[0-9a-f]+-[0-9a-f]+ / { anon = ($6 == "" || $6 ~ /^\[/) }
       /^Private_Dirty:/ && anon { kb += $2 } END { print kb + 0 }' "/proc/$1/smaps" 2>/dev/null
}

viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# probe MODE CLASS: run by peer-bench as its helper, in the run's X session.
# Writes "PROBE key=value ..." lines to its log (kept with -k).
probe() {
  local mode=$1 class=$2 settle=$3 win pid t0 t1 i
  win=$(xdotool search --sync --onlyvisible --classname "^$class\$" 2>/dev/null | head -n1)
  t0=$(now_us)
  pid=$(xdotool getwindowpid "$win" 2>/dev/null)
  [[ -n $pid ]] || { echo "PROBE error=no_window"; exec sleep 100000; }
  if [[ $mode == hidden || $mode == restore ]]; then
    # The close button answers once the start-up protection has run out.
    for ((i = 0; i < 100; i++)); do
      xdotool mousemove --window "$win" "$CLOSE_X" "$CLOSE_Y" click 1 2>/dev/null
      sleep 0.1
      viewable "$win" || break
    done
    viewable "$win" && { echo "PROBE error=not_hidden"; exec sleep 100000; }
    echo "PROBE hidden_after_ms=$(( ($(now_us) - t0) / 1000 ))"
  fi
  # peer-bench samples memory SETTLE s after the map.
  sleep "$(awk -v s="$settle" -v d=$(( $(now_us) - t0 )) 'BEGIN { x = s - d / 1e6; if (x < 0) x = 0; printf "%.3f", x }')"
  echo "PROBE private_dirty_kb=$(private_dirty_kb "$pid") anon_dirty_kb=$(anon_dirty_kb "$pid")"
  if [[ $mode == restore ]]; then
    # The single-instance socket, in the private folder the program picked
    # for itself: the run's XDG_RUNTIME_DIR when it is the program user's,
    # else a folder of that user's under /tmp.
    local sock="" s
    for s in "$XDG_RUNTIME_DIR"/skeld-config-* /tmp/skeld-config-*/skeld-config-*; do
      [[ -S $s && $s != *-copydata && $(stat -c %U "$s") == "$(stat -c %U "/proc/$pid")" ]] && { sock=$s; break; }
    done
    [[ -n $sock ]] || { echo "PROBE error=no_socket"; exec sleep 100000; }
    # The single-instance message: magic "SKLD" and a null string; timed
    # from the moment it is sent.
    t1=$(python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.connect(sys.argv[1])
t = time.time(); s.sendall(b"SKLD\xff\xff\xff\xff"); s.recv(1); print(int(t * 1e6))' "$sock")
    for ((i = 0; i < 400; i++)); do viewable "$win" && break; sleep 0.002; done
    local t_map; t_map=$(now_us)
    if viewable "$win"; then
      echo "PROBE restore_ms=$(( (t_map - t1) / 1000 ))"
    else
      echo "PROBE error=not_restored"
    fi
    echo "PROBE restored_private_dirty_kb=$(sleep 1; private_dirty_kb "$pid")"
  fi
  exec sleep 100000
}

if [[ ${1:-} == --probe ]]; then shift; probe "$@"; fi

RUNS=3 IDLE=20 BUILD=$ROOT/build RUNAS=nobody CASES="" KEEP=""
while getopts "n:i:b:u:c:k:h" opt; do
  case $opt in
    n) RUNS=$OPTARG ;; i) IDLE=$OPTARG ;; b) BUILD=$OPTARG ;; u) RUNAS=$OPTARG ;;
    c) CASES=$OPTARG ;; k) KEEP=$OPTARG ;; *) sed -n '2,/^$/s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
  esac
done
BENCH=$ROOT/../shared/tools/peer-bench.sh
[[ -x $BENCH || -r $BENCH ]] || { echo "footprint: $BENCH not found" >&2; exit 1; }
[[ -x $BUILD/skeld-config && -d $BUILD/modules ]] || { echo "footprint: build skeld-config and skeld_modules in $BUILD first" >&2; exit 1; }
for t in xdotool xwininfo python3; do
  command -v "$t" >/dev/null || { echo "footprint: missing tool: $t" >&2; exit 1; }
done
if [[ -z $CASES ]]; then
  CASES=shown,hidden,mouse-shown,mouse-hidden,restore
  command -v ckb-next >/dev/null && CASES+=,ckb
fi

WORK=$(mktemp -d /tmp/footprint.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
chmod 755 "$WORK"
# The program writes its settings beside itself: a private copy for the run
# user keeps the build's modules/ untouched.
mkdir -p "$WORK/app"
cp -r "$BUILD/skeld-config" "$BUILD/modules" "$WORK/app/"
chown -R "$RUNAS" "$WORK/app" 2>/dev/null || chmod -R a+rwX "$WORK/app"
# A file just written sits dirty in the page cache until written back, and
# its mapped pages count as private dirty memory: about 1.5 MB of the
# program's code would be measured as if it were heap.
sync
APP=$WORK/app/skeld-config
SELF=$(readlink -f "${BASH_SOURCE[0]}")

median() { sort -n | awk '{ v[n++] = $1 } END { if (n == 0) print "NA"; else print (n % 2 ? v[int(n/2)] : (v[n/2-1] + v[n/2]) / 2) }'; }

# run_case NAME MODE CLASS SETTLE IDLE [peer-bench options --] COMMAND...
run_case() {
  local name=$1 mode=$2 class=$3 settle=$4 idle=$5; shift 5
  local keep=$WORK/$name
  [[ -n $KEEP ]] && keep=$KEEP/$name
  rm -rf "$keep"
  local -a opts=(-n "$RUNS" -w 1 -m window -s "$settle" -i "$idle" -u "$RUNAS" -k "$keep"
                 -H "bash $SELF --probe $mode $class $settle")
  while [[ $1 != -- ]]; do opts+=("$1"); shift; done
  shift
  bash "$BENCH" "${opts[@]}" "$name" "$@" > "$WORK/$name.out" 2> "$WORK/$name.err"
  local status; status=$(grep '^STATUS' "$WORK/$name.out")
  get() { awk -v m="$1" '$1 == "RESULT" { for (i = 2; i <= NF; i++) { split($i, kv, "="); f[kv[1]] = kv[2] }
                                           if (f["metric"] == m) print f["median"] }' "$WORK/$name.out"; }
  # Probe lines of the measured runs (run 1 is the warm-up).
  pget() { cat "$keep"/run[2-9]*/helper.log 2>/dev/null | tr ' ' '\n' | sed -n "s/^$1=//p" | median; }
  local rss uss pd ad
  rss=$(get rss_kb) uss=$(get uss_kb) pd=$(pget private_dirty_kb) ad=$(pget anon_dirty_kb)
  mb() { awk -v k="$1" 'BEGIN{ if (k == "NA" || k == "") print "NA"; else printf "%.1f", k/1024}'; }
  printf '%-13s start %6s ms | RSS %6s MB | private dirty %6s MB (heap+anon %5s) | uss %6s MB | idle %6s ms CPU, %4s ctxsw' \
    "$name" "$(get start_ms)" "$(mb "$rss")" "$(mb "$pd")" "$(mb "$ad")" "$(mb "$uss")" \
    "$(get idle_cpu_ms)" "$(get idle_ctxsw)"
  [[ $mode == restore ]] && printf ' | restore %s ms (shown again: private dirty %s kB)' \
    "$(pget restore_ms)" "$(pget restored_private_dirty_kb)"
  printf '   [%s]\n' "${status#STATUS }"
  grep -h 'PROBE error' "$keep"/run*/helper.log 2>/dev/null | sort | uniq -c | sed 's/^/    /'
}

echo "# footprint: medians of $RUNS runs (1 warm-up), idle window ${IDLE} s, user $RUNAS, $(date -u +%FT%TZ)"
IFS=, read -r -a list <<< "$CASES"
for c in "${list[@]}"; do
  case $c in
    shown)        run_case shown shown skeld-config 5 "$IDLE" -- "$APP" ;;
    hidden)       run_case hidden hidden skeld-config 7 "$IDLE" -- "$APP" ;;
    mouse-shown)  run_case mouse-shown shown skeld-config 5 "$IDLE" -e SKELD_VIRTUAL_MOUSE=553 -- "$APP" ;;
    mouse-hidden) run_case mouse-hidden hidden skeld-config 7 "$IDLE" -e SKELD_VIRTUAL_MOUSE=553 -- "$APP" ;;
    # Restore is gated on a connected device: the virtual mouse stands in.
    # The idle window keeps the program running while the probe restores it.
    restore)      run_case restore restore skeld-config 7 3 -e SKELD_VIRTUAL_MOUSE=553 -- "$APP" ;;
    ckb)          run_case ckb-next shown ckb-next 5 "$IDLE" -- ckb-next ;;
    *) echo "footprint: unknown case $c" >&2 ;;
  esac
done
