#!/bin/bash
# Plants the faults of scripts/mutants.txt into a scratch copy of HEAD, one
# at a time, and checks whether the test suite notices each of them. A
# yardstick for trimming the suite: whatever it catches today it must still
# catch afterwards. Developer tool, not run by CI; a full run takes hours.
#
#   scripts/mutants.sh [-o FILE] [-f DATAFILE] [ID...]
#
# -o FILE   also write the result table there (id, result, catching test,
#           seconds); results are caught, missed, build-fail or stale. The
#           suite's output for each caught fault goes to FILE.logs/<id>.log,
#           to tell a real catch from a test that failed for its own reasons.
# -f FILE   the fault list (default: mutants.txt beside this script).
# -n        only check that every entry applies to the working tree, and
#           exit (no build, no tests).
# -R REGEX  run only the tests whose names match (ctest -R): a quick check
#           of the faults a few test files must catch; the full score
#           needs the whole suite.
# -b DIR    plant the faults in this working tree itself and build in DIR,
#           an existing build folder (much faster than a fresh copy; the
#           program's files must have no uncommitted changes).
# ID...     run only these faults.
#
# Entry format of the fault list (the texts are matched exactly, newlines
# included; an original that does not occur exactly once makes the entry
# "stale"):
#   @@ <id> <file>
#   <<<
#   original text
#   ===
#   replacement text
#   >>>
set -eu

here=$(cd "$(dirname "$0")" && pwd)
repo=$(git -C "$here" rev-parse --show-toplevel)
data="$here/mutants.txt"
out=""
check_only=0
inplace=""
only=()
while getopts "o:f:nb:R:h" opt; do
    case $opt in
    o) out=$OPTARG ;;
    b) inplace=$OPTARG ;;
    R) only=(-R "$OPTARG") ;;
    n) check_only=1 ;;
    f) data=$OPTARG ;;
    *)
        sed -n '2,/^set -eu/p' "$0" | sed '$d; s/^# \{0,1\}//'
        exit 2
        ;;
    esac
done
shift $((OPTIND - 1))
case $data in /*) ;; *) data="$PWD/$data" ;; esac
if [ -n "$out" ]; then
    case $out in /*) ;; *) out="$PWD/$out" ;; esac
fi
[ -f "$data" ] || { echo "mutants: no fault list $data" >&2; exit 2; }

# One python helper does the exact-text work: listing ids, checking and
# applying one entry.
helper() {
    python3 - "$@" <<'EOF'
import sys

def entries(path):
    out, cur, part = [], None, None
    for line in open(path, encoding="utf-8").read().split("\n"):
        if cur is None or part is None:
            if line.startswith("@@ "):
                f = line[3:].split()
                cur = {"id": f[0], "file": f[1], "orig": [], "repl": []}
                out.append(cur)
            elif line == "<<<" and cur is not None:
                part = "orig"
            continue
        if line == "===" and part == "orig":
            part = "repl"
        elif line == ">>>" and part == "repl":
            part = None
            cur = None
        else:
            cur[part].append(line)
    for e in out:
        e["orig"] = "\n".join(e["orig"])
        e["repl"] = "\n".join(e["repl"])
    return out

cmd, data = sys.argv[1], sys.argv[2]
all_entries = entries(data)
if cmd == "ids":
    ids = [e["id"] for e in all_entries]
    dup = {i for i in ids if ids.count(i) > 1}
    if dup:
        sys.exit("mutants: duplicate ids: " + " ".join(sorted(dup)))
    print("\n".join(ids))
    sys.exit(0)
ident, root = sys.argv[3], sys.argv[4]
e = next(e for e in all_entries if e["id"] == ident)
if cmd == "file":
    print(e["file"])
    sys.exit(0)
if e["file"].startswith("tests/"):
    print("refused: faults go into the program, not the tests")
    sys.exit(3)
path = root + "/" + e["file"]
try:
    text = open(path, encoding="utf-8").read()
except OSError:
    print("no such file")
    sys.exit(3)
n = text.count(e["orig"])
if n != 1 or e["orig"] == e["repl"]:
    print("original text found %d times" % n)
    sys.exit(3)
if cmd == "apply":
    open(path, "w", encoding="utf-8").write(text.replace(e["orig"], e["repl"]))
EOF
}

ids=$(helper ids "$data")
if [ $# -gt 0 ]; then
    for id in "$@"; do
        printf '%s\n' "$ids" | grep -qxF -- "$id" || { echo "mutants: no fault $id" >&2; exit 2; }
    done
    ids=$(printf '%s\n' "$@")
fi
if [ "$check_only" = 1 ]; then
    bad=0
    for id in $ids; do
        why=$(helper check "$data" "$id" "$repo") || { echo "$id: stale: $why"; bad=1; }
    done
    [ "$bad" = 1 ] || echo "mutants: all $(printf '%s\n' "$ids" | wc -l) entries apply"
    exit "$bad"
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/skeld-mutants.XXXXXX")
if [ -n "$inplace" ]; then
    src="$repo"
    build=$(cd "$inplace" && pwd)
    if [ -n "$(git -C "$repo" status --porcelain -- app cli device features gun input macro platform qml settings)" ]; then
        echo "mutants: the program has uncommitted changes; -b needs a clean tree" >&2
        exit 2
    fi
    cleanup() {
        git -C "$repo" checkout -q -- app cli device features gun input macro platform qml settings
        rm -rf "$scratch"
    }
else
    src="$scratch/src"
    build="$src/build"
    cleanup() {
        git -C "$repo" worktree remove --force "$src" >/dev/null 2>&1 || true
        rm -rf "$scratch"
        git -C "$repo" worktree prune
    }
    git -C "$repo" worktree add --detach "$src" HEAD >/dev/null 2>&1
fi
trap cleanup EXIT
trap 'exit 130' INT TERM
echo "mutants: faults planted in $(git -C "$src" rev-parse --short HEAD) at $src"

# Paths relative to the copy, so a later run in another temporary folder
# still finds the compiled objects in ccache.
export CCACHE_BASEDIR="$src" CCACHE_NOHASHDIR=true
# The environment of CI's plain run (scripts/test.sh without sanitizers);
# every test sets its own display, platform and data folders.
build_all() {
    nice cmake --build "$build" >"$scratch/build.log" 2>&1
}
run_suite() {
    # --stop-on-failure: one failing test is enough to call a fault caught.
    (cd "$build" && nice ctest -j2 --timeout 150 --output-on-failure ${only[@]+"${only[@]}"} "$@" >"$scratch/ctest.log" 2>&1)
}
first_failure() {
    f="$build/Testing/Temporary/LastTestsFailed.log"
    if [ -s "$f" ]; then
        sed -n '1s/^[0-9]*://p' "$f"
    else
        echo "?"
    fi
}

start=$(date +%s)
cmake -S "$src" -B "$build" -G Ninja -DSKELD_WERROR=ON \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >"$scratch/configure.log" 2>&1 ||
    { cat "$scratch/configure.log"; echo "mutants: configure failed" >&2; exit 1; }
if ! build_all; then
    tail -40 "$scratch/build.log"
    echo "mutants: HEAD does not build" >&2
    exit 1
fi
echo "mutants: clean build $(($(date +%s) - start)) s"
t=$(date +%s)
if ! run_suite; then
    tail -40 "$scratch/ctest.log"
    echo "mutants: the suite is not green at HEAD (first failure: $(first_failure)); aborted" >&2
    exit 1
fi
echo "mutants: green suite $(($(date +%s) - t)) s"

table="$scratch/results"
: >"$table"
total=0
caught=0
missed=""
for id in $ids; do
    total=$((total + 1))
    t=$(date +%s)
    file=$(helper file "$data" "$id" "$src")
    test="-"
    if ! why=$(helper apply "$data" "$id" "$src"); then
        result=stale
        test="$why"
    elif ! build_all; then
        result="build-fail"
        git -C "$src" checkout -q -- "$file"
    else
        if run_suite --stop-on-failure; then
            result=missed
            missed="$missed $id"
        else
            result=caught
            caught=$((caught + 1))
            test=$(first_failure)
            if [ -n "$out" ]; then
                mkdir -p "$out.logs"
                cp "$scratch/ctest.log" "$out.logs/$id.log"
            fi
        fi
        git -C "$src" checkout -q -- "$file"
    fi
    secs=$(($(date +%s) - t))
    printf '%s\t%s\t%s\t%s\n' "$id" "$result" "$test" "$secs" | tee -a "$table"
    [ -z "$out" ] || cp "$table" "$out"
done

echo "caught $caught of $total"
if [ -n "$missed" ]; then
    echo "missed:$missed"
else
    echo "missed: none"
fi
non=$(awk -F'\t' '$2 == "stale" || $2 == "build-fail" { printf " %s(%s)", $1, $2 }' "$table")
[ -z "$non" ] || echo "not run:$non"
