# The shared start of the real-window tests written in shell; sourced,
# never run alone. Re-runs the calling script on a desktop of its own
# (desktop.sh), then sets reader, qzt and work and keeps every file the
# reader makes inside the run's own folder. Tests written in Python get the
# same from desktop.sh and a11y.Reader.
# Usage (from a test): source e2e_setup.sh READER QZT [MORE...]
# (MORE: the test's own further arguments, handed on unchanged).
reader=$(realpath "$1")
qzt=$(realpath "$2")

if [ -z "${QZT_DESKTOP:-}" ]; then
  exec bash "$(dirname "${BASH_SOURCE[0]}")/desktop.sh" bash "$0" "$reader" "$qzt" "${@:3}"
fi

work=$(mktemp -d)
# Work folders, the reader's socket and recovery copies live in the run's
# folder, away from any reader the user has open.
export TMPDIR="$work/tmp"
export QZT_DATA_DIR="$work/data"
mkdir -p "$TMPDIR" "$work/paper"

# The test sets pid once it starts a reader; leaving stops it and removes
# the run's folder.
pid=""
cleanup() {
  # Only the script itself cleans up, never a subshell that fails.
  [ "$BASHPID" = "$$" ] || return 0
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/reader.log" ] && tail -20 "$work/reader.log" >&2
  exit 1
}
