#!/usr/bin/env bash
# setup.sh's debian_mirror on sample apt configurations in a temporary folder.
# Usage: debian_mirror_test.sh path/to/scripts
set -uo pipefail
source "$1/setup.sh"
ROOT=$(mktemp -d)
trap 'rm -rf "$ROOT"' EXIT
failures=0
put() { mkdir -p "$(dirname "$ROOT/$1")"; cat > "$ROOT/$1"; }
# expect NAME WANT: the mirror found in $ROOT/NAME, or with WANT empty the failure and its message.
expect() {
    local got rc
    got=$(KIRTO_APT_ETC="$ROOT/$1" debian_mirror 2>&1); rc=$?
    [ -n "$2" ] && [ $rc -eq 0 ] && [ "$got" = "$2" ] && return
    [ -z "$2" ] && [ $rc -ne 0 ] && [[ "$got" == "no Debian mirror found in the apt configuration"* ]] && return
    echo "FAIL $1: got '$got' (exit $rc), want '${2:-an error}'"; failures=$((failures + 1))
}

# deb822: a disabled stanza, a security one, another distribution's, then the mirror in the last
# stanza of the file; names apt ignores are ignored.
put stock/sources.list.d/debian.sources <<'SRC'
Types: deb
URIs: file:/srv/off/debian
Suites: sid
Enabled: no

Types: deb
# a comment inside the stanza
URIs: file:/srv/mirror/debian-security/
Suites: bookworm-security

Types: deb
URIs: file:/srv/node/debian
Suites: node_20.x

Types: deb-src
URIs: file:/srv/other file:/srv/mirror/debian/
Suites: bookworm bookworm-updates
SRC
put stock/sources.list.d/aaa.list.disabled-by-farm <<<'deb file:/srv/wrong/debian sid main'
expect stock file:/srv/mirror/debian

# One-line form with options, read before sources.list.d; a file of no Debian mirror fails.
put oneline/sources.list <<'SRC'
# deb file:/srv/commented/debian sid main
deb file:/srv/local/debian-security trixie-security main
deb [ arch=amd64 signed-by=/usr/share/keyrings/k.gpg ] file:/srv/local/debian trixie main
SRC
put oneline/sources.list.d/later.list <<<'deb file:/srv/later/debian sid main'
expect oneline file:/srv/local/debian
put none/sources.list.d/debian.list <<<'deb file:/srv/mirror/debian-security trixie-security main'
expect none ""
expect missing ""

[ $failures -eq 0 ] && echo "debian_mirror: all cases pass"
exit $failures
