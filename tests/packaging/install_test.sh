#!/usr/bin/env bash
# The reader installed as a desktop sees it: a staging install holds every
# file and its desktop entry and metainfo validate; with the stage on
# XDG_DATA_DIRS a paper is known by its extension and, renamed, by its
# magic bytes; the reader is the type's default handler, and xdg-open on a
# paper starts the installed reader showing the paper's title.
# Nothing outside the run's own folder changes.
# Usage: install_test.sh READER QZT BUILD APP_ID WEB_LIBRARY_DIR
set -euo pipefail

source "$(dirname "$0")/../e2e/e2e_setup.sh" "$@"
source "$(dirname "$0")/installed_files.sh"
build=$3
app_id=$4
web_library_dir=$5
opener=""
cleanup() {
  # xdg-open waits for the reader it started: end that session as a whole.
  if [ -n "$opener" ]; then
    kill -- "-$opener" 2>/dev/null || true
    wait "$opener" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/open.log" ] && tail -20 "$work/open.log" >&2
  exit 1
}

# ---- Every file in place, and valid ----------------------------------------
stage="$work/stage"
cmake --install "$build" --prefix "$stage" >/dev/null || fail "cmake --install"
while read -r file; do
  [ -s "$stage/$file" ] || fail "not installed: $file"
done < <(installed_files "$app_id" "$web_library_dir")
cmp -s "$reader" "$stage/bin/qzt-reader" || fail "the installed reader is not the one built"
for size in 16 48 256; do
  png="$stage/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "icon $png is not ${size}x${size}"
done
desktop-file-validate "$stage/share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$stage/share/metainfo/$app_id.metainfo.xml" >"$work/appstream.log" \
  || fail "appstreamcli validate: $(cat "$work/appstream.log")"

# Asked alone, --help and --version answer without a display, window or
# work folder.
for option in --help --version; do
  text=$(env -u DISPLAY "$stage/bin/qzt-reader" "$option") || fail "qzt-reader $option failed"
  case "$option:$text" in
    --help:Usage:\ qzt-reader*|--version:qzt-reader\ [0-9]*) ;;
    *) fail "qzt-reader $option printed: $text" ;;
  esac
done
[ -z "$(find "$TMPDIR" -maxdepth 1 -name 'qzt-*')" ] || fail "--help or --version made a work folder"

# ---- The desktop as a user session sees the stage --------------------------
# No desktop environment named: xdg-utils takes its generic path (File::MimeInfo
# for file types, desktop entries on XDG_DATA_DIRS for handlers).
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_DATA_DIRS="$stage/share:/usr/share"
export PATH="$stage/bin:$PATH"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
update-mime-database "$stage/share/mime" || fail "update-mime-database"

# pack_paper TITLE KEY PAGE OUT: a one-question paper showing PAGE.
pack_paper() {
  cat >"$work/manifest.json" <<JSON
{"title": "$1", "key": "$2", "time_limit": 5, "page": "$3",
 "questions": [{"label": "1", "kind": "single", "options": 4, "answer": "A", "marks": 1}]}
JSON
  "$qzt" pack "$work/manifest.json" "$4" >/dev/null || fail "qzt pack ($3)"
}

title="安装试卷 e2e"
echo "page text" >"$work/paper/page.txt"
paper="$work/考试 试卷.qzt"
pack_paper "$title" E2E-INSTALL paper/page.txt "$paper"
cp "$paper" "$work/renamed paper"
echo "not a paper" >"$work/notes"

# The renamed paper is known by its magic bytes alone; other text is not.
while IFS='|' read -r file type; do
  got=$(xdg-mime query filetype "$work/$file")
  [ "$got" = "$type" ] || fail "xdg-mime query filetype $file: '$got', expected $type"
done <<'CASES'
考试 试卷.qzt|application/x-qzt
renamed paper|application/x-qzt
notes|text/plain
CASES

handler=$(xdg-mime query default application/x-qzt)
[ "$handler" = "$app_id.desktop" ] || fail "default handler: '$handler'"

# ---- A double click, as the file manager makes it --------------------------
setsid xdg-open "$paper" >"$work/open.log" 2>&1 &
opener=$!
windows() { xdotool search --onlyvisible --name "$title" 2>/dev/null || true; }
for _ in $(seq 1 120); do
  [ -n "$(windows)" ] && break
  kill -0 "$opener" 2>/dev/null || fail "xdg-open ended without a window"
  sleep 0.5
done
window=$(windows | head -1)
[ -n "$window" ] || fail "no window titled '$title'"
pid=$(xdotool getwindowpid "$window")
[ "$(readlink "/proc/$pid/exe")" = "$stage/bin/qzt-reader" ] \
  || fail "the window belongs to $(readlink "/proc/$pid/exe"), not the installed reader"
# The menu entry's StartupWMClass names this window's class.
xdotool search --class '^qzt-reader$' | grep -qx "$window" || fail "window class is not qzt-reader"
! grep -q "Chinese translations" "$work/open.log" || fail "Qt's catalogues did not load: $(cat "$work/open.log")"
# A text page leaves the web engine unloaded.
! grep -q libQt6WebEngineCore "/proc/$pid/maps" || fail "a text paper loaded the web engine"
kill -- "-$opener" 2>/dev/null || true
wait "$opener" 2>/dev/null || true
opener=""

# ---- A web page: the installed reader finds its web library -----------------
web_title="安装网页试卷 e2e"
echo '<html><body><h1>page</h1></body></html>' >"$work/paper/index.html"
pack_paper "$web_title" E2E-INSTALL-WEB paper/index.html "$work/web.qzt"
setsid "$stage/bin/qzt-reader" "$work/web.qzt" >"$work/open.log" 2>&1 &
opener=$!
library="$stage/$web_library_dir/libqztweb.so"
for _ in $(seq 1 120); do
  grep -q "$library" "/proc/$opener/maps" 2>/dev/null && break
  sleep 0.5
done
grep -q "$library" "/proc/$opener/maps" || fail "the web page did not load $library: $(cat "$work/open.log")"

echo "PASS: installed files valid; $paper and its renamed copy are application/x-qzt;" \
  "xdg-open started $stage/bin/qzt-reader showing '$title' without the web engine;" \
  "a web page loaded $library"
