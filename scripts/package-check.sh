#!/usr/bin/env bash
# The Debian package as an office would use it: builds it (unless a current one is there),
# installs it, runs the installed programs as an ordinary user from a temporary home (demo
# workspace, one generation, --help and --version without a display), checks it with lintian
# (installed when missing) and purges it.
# Run as root on a build machine (CI).
# Usage: scripts/package-check.sh [build folder]
set -euo pipefail
BUILD=${1:-build}
cd "$(dirname "$0")/.."

# A package newer than the programs and everything packed beside them is reused; otherwise (or
# with REPACK=1) it is built again.
make build BUILD="$BUILD"
DEB=$(ls -t "$BUILD"/velmorab2d_*.deb 2>/dev/null | head -n1 || true)
if [ -z "$DEB" ] || [ "${REPACK:-0}" = 1 ] || [ -n "$(find "$BUILD/bin/velmorab2d" "$BUILD/bin/velmorab2d-cli" \
        "$BUILD/CPackConfig.cmake" README.md packaging -newer "$DEB" 2>/dev/null | head -n1)" ]; then
    make package BUILD="$BUILD"
    DEB=$(ls -t "$BUILD"/velmorab2d_*.deb | head -n1)
else
    echo "== Reusing $DEB: newer than the programs and the packaging files"
fi
echo "== Package $DEB"
dpkg-deb -I "$DEB" | sed -n '/Depends\|Recommends/p'
# Its files, dependencies and configuration files, as the install test checks a staged install.
cmake -DDEB="$(realpath "$DEB")" -P cmake/CheckInstall.cmake

if dpkg -s velmorab2d >/dev/null 2>&1; then
    echo "velmorab2d is already installed here; refusing to replace it" >&2
    exit 1
fi
RUNAS=${RUNAS:-nobody}
WORK=$(mktemp -d /tmp/velmorab2d-package.XXXXXX)
cleanup() {
    dpkg --purge velmorab2d >/dev/null 2>&1 || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# The dependencies are those of the build machine; nothing is fetched (no recommends).
apt-get install -y --no-install-recommends "./$DEB" >/dev/null
test -f /etc/velmorab2d/version.ini
chown "$RUNAS" "$WORK"

as_user() {
    runuser -u "$RUNAS" -- env -i PATH=/usr/bin:/bin HOME="$WORK/home" "$@"
}
as_user mkdir -p "$WORK/home"

echo "== --help and --version without a display"
for program in velmorab2d velmorab2d-cli; do
    as_user "$program" --help | head -n1
    as_user "$program" --version
done
as_user velmorab2d-cli generate --help | head -n1

echo "== The installed velmorab2d-cli on a demo workspace, as $RUNAS"
as_user sh -c "cd '$WORK' && velmorab2d-cli demo demo >/dev/null"
out=$(as_user sh -c "cd '$WORK' && velmorab2d-cli --connections demo/connections.ini \
    --settings demo/settings.ini generate 26001IC04000123A --answers demo/answers.ini 2>/dev/null")
echo "$out"
test -f "$out"
# The schema is inside the program: the installed validate needs no file beside it.
as_user velmorab2d-cli validate "$out"
# An installed program logs per user, never beside itself.
ls "$WORK"/home/.local/share/velmorab2d/Logs/VelmoraB2D_*.Log >/dev/null
if ls /usr/bin/Logs >/dev/null 2>&1; then
    echo "a log folder appeared beside the installed program" >&2
    exit 1
fi

echo "== lintian"
if ! command -v lintian >/dev/null 2>&1; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian >/dev/null
fi
lintian --fail-on error "$DEB"

dpkg --purge velmorab2d >/dev/null
test ! -e /usr/bin/velmorab2d-cli
echo "== Package check passed"
