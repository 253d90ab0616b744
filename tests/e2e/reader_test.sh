#!/usr/bin/env bash
# The reader in a real X window: a web-page paper named on the command line
# is shown by the web view under its title, and a second start hands over
# to the first and ends by itself, leaving one window and one work folder.
# Then a copy of the reader with the paper attached shows it unasked, over
# the socket the killed first reader left behind.
# Usage: reader_test.sh READER QZT
set -euo pipefail

source "$(dirname "$0")/e2e_setup.sh" "$1" "$2"
first=""
cleanup() {
  if [ -n "$first" ]; then
    kill "$first" 2>/dev/null || true
    wait "$first" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/reader.log" ] && tail -20 "$work/reader.log" >&2
  exit 1
}

title="网页试卷 e2e"

cat >"$work/paper/index.html" <<'EOF'
<html><head><meta charset="utf-8"><title>inner</title></head>
<body><h1>A web page paper</h1></body></html>
EOF
cat >"$work/paper.json" <<EOF
{"title": "$title", "key": "E2E-1", "time_limit": 5, "page": "paper/index.html",
 "questions": [{"label": "1", "kind": "single", "options": 4, "answer": "A", "marks": 1}]}
EOF
"$qzt" pack "$work/paper.json" "$work/web paper.qzt" || fail "qzt pack"

windows() { xdotool search --onlyvisible --name "$title" 2>/dev/null | wc -l; }
work_folders() { find "$TMPDIR" -maxdepth 1 -name 'qzt-*' -type d | wc -l; }

# Waits until reader PID reports a finished page; WHO names it in failures.
wait_page_loaded() {
  for _ in $(seq 1 120); do
    grep -q "^page-loaded" "$work/report.txt" 2>/dev/null && return 0
    kill -0 "$1" 2>/dev/null || fail "$2 ended before showing the page"
    sleep 0.5
  done
}

# In a session of its own, so stopping it and its web helpers at the end
# reaches nothing of this script.
QZT_TEST_REPORT="$work/report.txt" setsid "$reader" "$work/web paper.qzt" >"$work/reader.log" 2>&1 &
first=$!

wait_page_loaded "$first" "the reader"
grep -qx "page-loaded ok $title" "$work/report.txt" || fail "page not loaded: $(cat "$work/report.txt" 2>/dev/null)"

for _ in $(seq 1 20); do
  [ "$(windows)" -ge 1 ] && break
  sleep 0.5
done
[ "$(windows)" -eq 1 ] || fail "expected one window titled '$title', found $(windows)"
[ "$(work_folders)" -eq 1 ] || fail "expected one work folder, found $(work_folders)"

# The second start must end by itself, without a window or a work folder.
timeout 30 setsid "$reader" "$work/web paper.qzt" >"$work/second.log" 2>&1 || fail "second start did not end cleanly"
sleep 1
[ "$(windows)" -eq 1 ] || fail "after a second start: $(windows) windows"
[ "$(work_folders)" -eq 1 ] || fail "the second start made a work folder"
kill -0 "$first" 2>/dev/null || fail "the first reader ended"
kill "$first"
wait "$first" 2>/dev/null || true
first=""

# A copy of the reader with the paper attached opens it with no argument.
"$qzt" attach "$reader" "$work/web paper.qzt" "$work/reader-with-paper" || fail "qzt attach"
rm -f "$work/report.txt"
QZT_TEST_REPORT="$work/report.txt" setsid "$work/reader-with-paper" >"$work/reader.log" 2>&1 &
first=$!
wait_page_loaded "$first" "the attached reader"
grep -qx "page-loaded ok $title" "$work/report.txt" || fail "attached paper not shown"

echo "PASS: $(cat "$work/report.txt"), $(windows) window"
