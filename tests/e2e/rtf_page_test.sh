#!/usr/bin/env bash
# An RTF page as pandoc writes it, in a real window: the picture is on the
# screen at its size, and the 2 of "x^2" is drawn raised. The second is
# shown by difference: the same page with a plain 2 puts the 2 lower.
# Usage: rtf_page_test.sh READER QZT
set -euo pipefail

source "$(dirname "$0")/e2e_setup.sh" "$1" "$2"
fixture="$(dirname "$0")/../ui/page/rtf_fixtures/pandoc.rtf"
# Packs PAGE as the page of a paper, shows it, and leaves a screenshot in SHOT.
shoot() {
  local page=$1 shot=$2
  cp "$page" "$work/paper/page.rtf"
  cat >"$work/paper.json" <<JSON
{"title": "RTF e2e", "key": "E2E-RTF", "time_limit": 5, "page": "paper/page.rtf",
 "questions": [{"label": "1", "kind": "single", "options": 4, "answer": "A", "marks": 1}]}
JSON
  "$qzt" pack "$work/paper.json" "$work/paper.qzt" >/dev/null || fail "qzt pack"
  rm -rf "$QZT_DATA_DIR"  # no recovery copy of the showing before
  setsid "$reader" "$work/paper.qzt" >"$work/reader.log" 2>&1 &
  pid=$!
  # The exam starts once the page is shown; a screen reader sees its grid.
  /usr/bin/python3 "$(dirname "$0")/a11y.py" wait-grid "$pid" || fail "the page was not shown"
  sleep 1  # painted
  import -window root "$shot"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=""
}

# Bounding box "W H X Y" of the pixels of one colour.
box_of() {
  convert "$1" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%@\n' info: | tr 'x+' '  '
}

# Bottom row of the ink (dark pixels) in a region "WxH+X+Y" of a screenshot.
ink_bottom() {
  convert "$1" -crop "$2" +repage -colorspace gray -threshold 60% -negate \
    -format '%@' info: | awk -F'[x+]' '{ print $2 + $4 }'
}

shoot "$fixture" "$work/super.png"
sed 's/{\\super 2}/2/' "$fixture" >"$work/plain.rtf"
grep -q 'super' "$work/plain.rtf" && fail "the plain page still has a superscript"
shoot "$work/plain.rtf" "$work/plain.png"

# The picture: 40x30 pixels of #ff00ff, shown at 800x600 twips (53x40).
read -r w h x y < <(box_of "$work/super.png" "#ff00ff")
[ "$w" -ge 52 ] && [ "$w" -le 55 ] && [ "$h" -ge 39 ] && [ "$h" -le 41 ] ||
  fail "picture shown at ${w}x${h}, not 53x40"

# The formula is the line above the picture: the 50 rows above each page's
# picture, from its left edge. Both pages draw it alike up to the 2.
read -r _ _ px py < <(box_of "$work/plain.png" "#ff00ff")
convert "$work/super.png" -crop "600x50+$x+$((y - 50))" +repage "$work/a.png"
convert "$work/plain.png" -crop "600x50+$px+$((py - 50))" +repage "$work/b.png"
read -r _ _ dx _ < <(convert "$work/a.png" "$work/b.png" -compose difference -composite \
  -colorspace gray -threshold 10% -format '%@\n' info: | tr 'x+' '  ')
[ -n "$dx" ] && [ "$dx" -gt 0 ] || fail "the superscript changes nothing on the screen"
raised=$(ink_bottom "$work/a.png" "3x50+$dx+0")
level=$(ink_bottom "$work/b.png" "3x50+$dx+0")
[ "$raised" -le $((level - 3)) ] || fail "the 2 of x^2 ends at row $raised, a plain 2 at $level"

echo "PASS: picture ${w}x${h}; the 2 of x^2 ends $((level - raised)) pixels above a plain 2"
