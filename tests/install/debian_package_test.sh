#!/usr/bin/env bash
# Makes the Debian package from the build tree and checks what a package
# manager reads from it: the file list and the control fields.
# Usage: debian_package_test.sh BUILD_DIR SOURCE_DIR VERSION
# shellcheck source=tests/install/check_lib.sh
source "$(dirname "$0")/check_lib.sh"

# gzip instead of the package's xz keeps the check short.
cpack --config "$build/CPackConfig.cmake" -B "$work" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip \
  >"$work/cpack.log" || fail "cpack failed: $(cat "$work/cpack.log")"
architecture=$(dpkg --print-architecture)
deb=$work/skinwright_${version}_$architecture.deb
[ -f "$deb" ] || fail "no $(basename "$deb") in $(ls "$work")"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/skinwright ./usr/share/applications/skinwright.desktop \
  ./usr/share/icons/hicolor/scalable/apps/skinwright.svg \
  ./usr/share/icons/hicolor/48x48/apps/skinwright.png \
  ./usr/share/icons/hicolor/256x256/apps/skinwright.png; do
  grep -qx -- "$file" <<<"$files" || fail "the package lacks $file"
done
outside=$(grep -v -e '^\./$' -e '^\./usr/' <<<"$files" || true)
[ -z "$outside" ] || fail "the package installs outside /usr: $outside"
diff <(cd "$source/template" && find . -type f | sort) \
  <(sed -n 's|^\./usr/share/skinwright/template/\(.*[^/]\)$|./\1|p' <<<"$files" | sort) ||
  fail "the package's template differs from the source's"

field() {
  dpkg-deb -f "$deb" "$1"
}
# field | a pattern its value must match
checks=(
  "Package|^skinwright$"
  "Version|^$version$"
  "Architecture|^$architecture$"
  "Section|^graphics$"
  "Maintainer|.+ <.+@.+>"
  "Description|^designer's tool for Android phone themes$"
  "Description|^ Skinwright edits themes"
  # Found in the linked libraries by dpkg-shlibdeps, with versions.
  "Depends|(^|, )libc6 \(>= [0-9.]+\)"
  "Depends|(^|, )libcairo2 \(>= [0-9.]+\)"
  "Depends|(^|, )libcurl4 \(>= [0-9.]+\)"
  "Depends|(^|, )libtinyxml2.6.2v5 "
  "Depends|(^|, )fonts-wqy-microhei \| fonts-noto-cjk"
  "Recommends|(^|, )adb(,|$)"
  "Recommends|(^|, )chromium \| firefox-esr \| x-www-browser(,|$)"
)
for check in "${checks[@]}"; do
  IFS=$'\x1f' read -r name pattern <<<"${check/|/$'\x1f'}"
  value=$(field "$name")
  grep -Eq -- "$pattern" <<<"$value" || fail "$name is \"$value\"; it should match $pattern"
done
echo "the package holds the program, its data and desktop files, and lists its dependencies"
