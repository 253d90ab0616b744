# Every file an install of the reader puts in place, relative to its
# prefix; sourced by the packaging tests.
# Usage: installed_files APP_ID WEB_LIBRARY_DIR
installed_files() {
  local id=$1
  printf '%s\n' bin/qzt bin/qzt-reader "$2/libqztweb.so" \
    "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
    "share/mime/packages/$id.xml" "share/icons/hicolor/scalable/apps/$id.svg" \
    share/man/man1/qzt.1.gz share/man/man1/qzt-reader.1.gz \
    share/doc/qzt-reader/copyright share/doc/qzt-reader/changelog.gz
  local size
  for size in 16 24 32 48 64 128 256 512; do
    echo "share/icons/hicolor/${size}x${size}/apps/$id.png"
  done
}
