#!/usr/bin/env bash
# The main job on built-in input: shows what the program does. Argument: the build folder.
set -euo pipefail
build=$1
"$build/src/app/pixelvane" --help
