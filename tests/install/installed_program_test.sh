#!/usr/bin/env bash
# Installs the built program into a fresh prefix and uses it as a designer
# would: create a project, then open it. Whatever it writes must land in the
# user's own folders (the XDG state folder and ~/Skinwright), never beside
# the installed program.
# Usage: installed_program_test.sh BUILD_DIR SOURCE_DIR VERSION
# shellcheck source=tests/install/check_lib.sh
source "$(dirname "$0")/check_lib.sh"

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
for file in bin/skinwright share/applications/skinwright.desktop \
  share/icons/hicolor/scalable/apps/skinwright.svg \
  share/icons/hicolor/48x48/apps/skinwright.png; do
  [ -f "$prefix/$file" ] || fail "cmake --install did not install $file"
done
diff <(cd "$source/template" && find . | sort) \
  <(cd "$prefix/share/skinwright/template" && find . | sort) ||
  fail "the installed template differs from the source's"
desktop-file-validate "$prefix/share/applications/skinwright.desktop" ||
  fail "the desktop entry is not valid"
grep -qx 'Exec=skinwright serve' "$prefix/share/applications/skinwright.desktop" ||
  fail "the desktop entry does not start the editor"

installed() {
  (cd "$prefix" && find . -printf '%p %s %T@\n' | sort)
}
before=$(installed)
# Each case runs as a user with its own home folder in $work/HOME.
skinwright() {
  local home=$1
  shift
  (cd "$work" && env -u SKINWRIGHT_HOME -u XDG_STATE_HOME -u XDG_CACHE_HOME HOME="$work/$home" \
    "$@")
}

# home | XDG variables | where the log lands | where new projects land
cases=(
  "a||a/.local/state/skinwright|a/Skinwright"
  "b|XDG_STATE_HOME=$work/b-state XDG_CACHE_HOME=$work/b-cache|b-state/skinwright|b/Skinwright"
  "c|XDG_STATE_HOME=relative/state|c/.local/state/skinwright|c/Skinwright"
)
wanted=(prefix install.log)
for row in "${cases[@]}"; do
  IFS='|' read -r home xdg state projects <<<"$row"
  # shellcheck disable=SC2086 # the XDG column is split into words on purpose
  created=$(skinwright "$home" $xdg "$prefix/bin/skinwright" create --name demo) ||
    fail "$row: create failed"
  [ "$created" = "$work/$projects/demo/demo.wtpj" ] ||
    fail "$row: create made $created, not $work/$projects/demo/demo.wtpj"
  # shellcheck disable=SC2086
  modules=$(skinwright "$home" $xdg "$prefix/bin/skinwright" open "$created") ||
    fail "$row: open failed"
  [ "$(cut -f1 <<<"$modules" | tr '\n' ' ')" = "launcher lockscreen screencall " ] ||
    fail "$row: open listed $modules"
  grep -q "	INFO 	skinwright $version, home folder $work/$state" "$work/$state/runtime.log" ||
    fail "$row: no log in $work/$state"
  # The user's folders hold the log and the project, and no other file.
  for path in "$state/runtime.log" "$projects/demo/demo" "$projects/demo/demo.wtpj"; do
    while [ "$path" != . ]; do
      wanted+=("$path")
      path=$(dirname "$path")
    done
  done
done
written=$(cd "$work" && find . -mindepth 1 \( -path ./prefix -o -path '*/Skinwright/demo/demo' \) \
  -print -prune -o -print | sed 's|^\./||' | sort | tr '\n' ' ')
expected=$(printf '%s\n' "${wanted[@]}" | sort -u | tr '\n' ' ')
[ "$written" = "$expected" ] || fail "the program wrote $written; expected $expected"

[ "$(installed)" = "$before" ] || fail "the program wrote beside its installed files"
"$prefix/bin/skinwright" --version | grep -qx "skinwright $version" || fail "--version"
echo "the installed program writes only to the user's folders"
