#!/bin/sh
# Runs a command with a scratch folder of its own, removed afterwards, so that a test writes
# nothing into the build tree: every "@SCRATCH@" in the arguments becomes the folder's path.
set -u
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmorab2d-test.XXXXXX") || exit 1
trap 'rm -rf "$scratch"' EXIT
trap 'exit 1' INT TERM
n=$#
while [ "$n" -gt 0 ]; do
    arg=$1
    shift
    set -- "$@" "$(printf '%s' "$arg" | sed "s|@SCRATCH@|$scratch|g")"
    n=$((n - 1))
done
"$@"
