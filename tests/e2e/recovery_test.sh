#!/usr/bin/env bash
# Nothing lost: a real click answers a question, the reader keeps a recovery
# copy, and is killed with SIGKILL. The next start of the same paper asks
# whether to restore, and on Yes shows the answer and the time the copy
# kept. SIGTERM, SIGINT and SIGHUP then each end the reader with status 0:
# the copy is written and its work folder is gone.
# Usage: recovery_test.sh READER QZT
set -euo pipefail

source "$(dirname "$0")/e2e_setup.sh" "$1" "$2"
pid=""
cleanup() {
  if [ -n "$pid" ]; then
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/report.txt" ] && sed 's/^/  report: /' "$work/report.txt" >&2
  [ -f "$work/reader.log" ] && tail -20 "$work/reader.log" >&2
  exit 1
}

export QZT_TEST_REPORT="$work/report.txt"
title="恢复试卷 e2e"
question="上次答题未正常结束，是否恢复答案和剩余时间？"

echo "page text" >"$work/paper/page.txt"
cat >"$work/paper.json" <<EOF
{"title": "$title", "key": "E2E-RECOVERY", "time_limit": 30, "page": "paper/page.txt",
 "questions": [{"label": "1", "kind": "single", "options": 4, "answer": "A", "marks": 1},
               {"label": "2", "kind": "single", "options": 4, "answer": "B", "marks": 1}]}
EOF
"$qzt" pack "$work/paper.json" "$work/paper.qzt" || fail "qzt pack"

work_folders() { find "$TMPDIR" -maxdepth 1 -name 'qzt-*' -type d | sort; }

# Starts the reader on the paper in a session of its own and waits until
# the exam runs and the first row's cells are placed.
start_reader() {
  rm -f "$work/report.txt"
  setsid env "$@" "$reader" "$work/paper.qzt" >"$work/reader.log" 2>&1 &
  pid=$!
  for _ in $(seq 1 120); do
    grep -q "^grid-cell 1 4 " "$work/report.txt" 2>/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || fail "the reader ended before the exam started"
    sleep 0.5
  done
  fail "the exam did not start"
}

copy_file() { find "$QZT_DATA_DIR" -name 'recovery-*.qzr' 2>/dev/null | head -1; }

# ---- Answer by a real click, then SIGKILL ----------------------------------
start_reader
grep -qx "exam-clock 29 0" "$work/report.txt" || fail "fresh exam clock"
read -r x y < <(awk '$1 == "grid-cell" && $2 == 1 && $3 == 1 { print $4, $5 }' "$work/report.txt")
xdotool mousemove "$x" "$y" click 1

for _ in $(seq 1 40); do
  [ -n "$(copy_file)" ] && grep -q "^cell 1 1 " "$(copy_file)" && break
  sleep 0.25
done
[ -n "$(copy_file)" ] || fail "no recovery copy in $QZT_DATA_DIR"
grep -q "^cell 1 1 " "$(copy_file)" || fail "the click is not in the copy: $(cat "$(copy_file)")"
# Let the clock write a later copy too.
sleep 11
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
pid=""
kept_clock=$(awk '$1 == "clock" { print $2, $3 }' "$(copy_file)")
[ "$kept_clock" != "29 0" ] || fail "the clock wrote no copy in 11 s"
crashed=$(work_folders)

# ---- Next start: asked, Yes restores answer and time -----------------------
start_reader QZT_TEST_AUTO_ANSWER=yes
grep -qx "message 提示1.0 $question" "$work/report.txt" || fail "the restore question was not asked"
grep -qx "exam-answer 1 1 A" "$work/report.txt" || fail "answer not restored"
grep -qx "exam-clock $kept_clock" "$work/report.txt" || fail "time not restored (copy: $kept_clock)"
[ "$(grep -c '^exam-answer' "$work/report.txt")" -eq 1 ] || fail "unexpected answers"

# ---- SIGTERM, then SIGINT and SIGHUP: status 0, copy kept, work folder gone --
for signal in TERM INT HUP; do
  [ "$signal" = TERM ] || start_reader QZT_TEST_AUTO_ANSWER=yes
  mine=$(comm -13 <(echo "$crashed") <(work_folders))
  [ -n "$mine" ] || fail "no work folder of the running reader"
  kill -s "$signal" "$pid"
  status=0
  wait "$pid" || status=$?
  pid=""
  [ "$status" -eq 0 ] || fail "SIG$signal: exit status $status"
  [ ! -e "$mine" ] || fail "SIG$signal left the work folder $mine"
  [ -n "$(copy_file)" ] || fail "SIG$signal lost the recovery copy"
  grep -q "^cell 1 1 " "$(copy_file)" || fail "SIG$signal wrote a copy without the answer"
  if grep -q "^message .*是否真的要退出" "$work/report.txt"; then
    fail "SIG$signal asked the exit question"
  fi
done

echo "PASS: restored clock $kept_clock, answer 1 1 A; SIGTERM, SIGINT and SIGHUP ended with 0"
