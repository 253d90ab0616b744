# The shared start of the real-window tests; sourced, never run alone.
# Re-runs the calling script under Xvfb, then sets reader, qzt and work and
# keeps every file the reader makes inside the run's own folder.
# Usage (from a test): source e2e_setup.sh READER QZT [MORE...]
# (MORE: the test's own further arguments, handed on unchanged).
reader=$(realpath "$1")
qzt=$(realpath "$2")

if [ -z "${QZT_E2E_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" env QZT_E2E_DISPLAY=1 bash "$0" "$reader" "$qzt" "${@:3}"
fi

# A real window on the X server, whatever the caller's environment says.
export QT_QPA_PLATFORM=xcb
work=$(mktemp -d)
# Work folders, the reader's socket and recovery copies live in the run's
# folder, away from any reader the user has open.
export TMPDIR="$work/tmp"
export QZT_DATA_DIR="$work/data"
mkdir -p "$TMPDIR" "$work/paper"
