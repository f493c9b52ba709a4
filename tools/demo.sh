#!/usr/bin/env bash
# The main job on built-in input: generates a few synthetic camera RAW files (DNG) in a temporary
# folder, one of them in a sub-folder, and converts them all to JPEG with the console tool.
# Argument: the build folder.
set -euo pipefail
build=${1:?usage: demo.sh BUILD_FOLDER}
work=$(mktemp -d "${TMPDIR:-/tmp}/pixelvane-demo-XXXXXX")
trap 'rm -rf "$work"' EXIT

"$build/tools/make_test_dng" --out "$work/in" > /dev/null
mkdir -p "$work/in/more"
"$build/tools/make_test_dng" "$work/in/more/small_square.dng" --width 256 --height 256 --preview 256 > /dev/null
mkdir -p "$work/out"

echo "\$ pixelvane -i $work/in -o $work/out"
status=0
"$build/src/app/pixelvane" -i "$work/in" -o "$work/out" || status=$?
echo
echo "Written (exit status $status):"
(cd "$work/out" && find . -type f -name '*.jpg' | sort | while read -r f; do
    printf '  %-32s %8d bytes\n' "${f#./}" "$(stat -c %s "$f")"
done)
exit "$status"
