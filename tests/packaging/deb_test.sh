#!/usr/bin/env bash
# The .deb: CPack builds it from the build tree, its dependencies come from
# the binaries plus what the reader loads at run time, every installed file
# lies under /usr, and lintian finds no error (its warnings are printed).
# Usage: deb_test.sh BUILD APP_ID WEB_LIBRARY_DIR
set -euo pipefail
source "$(dirname "$0")/installed_files.sh"
build=$(realpath "$1")
app_id=$2
web_library_dir=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$out/cpack.log" 2>&1 \
  || fail "cpack: $(tail -20 "$out/cpack.log")"
deb=$(find "$out" -maxdepth 1 -name '*.deb')
[ -n "$deb" ] || fail "no .deb in $out"

dpkg-deb --contents "$deb" | awk '{ print $6 }' >"$out/contents"
while read -r file; do
  grep -qx "./usr/$file" "$out/contents" || fail "not in the package: /usr/$file"
done < <(installed_files "$app_id" "$web_library_dir")
outside=$(grep -v '^\./usr/\|^\./$' "$out/contents" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"

depends=$(dpkg-deb --field "$deb" Depends)
for package in libc6 libqt6widgets6 libqt6webenginewidgets6 libqt6webenginecore6-bin zlib1g \
               fonts-noto-cjk qt6-translations-l10n; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done

# Status 1: an error tag; anything above: lintian itself failed.
status=0
lintian --fail-on error --tag-display-limit 0 "$deb" >"$out/lintian.log" 2>&1 || status=$?
grep '^W: ' "$out/lintian.log" || true
[ "$status" -eq 0 ] || fail "lintian (status $status): $(grep -v '^[WIPN]: ' "$out/lintian.log")"
echo "PASS: $(basename "$deb"): Depends: $depends"
