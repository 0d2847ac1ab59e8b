# What every install check starts with, sourced with its arguments
# BUILD_DIR SOURCE_DIR VERSION: strict mode, the arguments by name, a
# temporary folder removed at the end, and fail, which names what is wrong.
set -euo pipefail
build=$1 source=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
