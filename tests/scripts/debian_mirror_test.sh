#!/usr/bin/env bash
# setup.sh's debian_mirror on sample apt configurations in a temporary folder.
# Usage: debian_mirror_test.sh path/to/scripts
set -uo pipefail
source "$1/setup.sh"
ROOT=$(mktemp -d)
trap 'rm -rf "$ROOT"' EXIT
failures=0

# expect NAME WANT: the mirror debian_mirror finds in $ROOT/NAME, or "" when it must fail.
expect() {
    local got rc
    got=$(KIRTO_APT_ETC="$ROOT/$1" debian_mirror 2>"$ROOT/err"); rc=$?
    if [ "$got" != "$2" ] || { [ -z "$2" ] && { [ $rc -eq 0 ] || ! grep -q "no Debian mirror found" "$ROOT/err"; }; }; then
        echo "FAIL $1: got '$got' (exit $rc), want '${2:-an error}'"; failures=$((failures + 1))
    fi
}
put() { mkdir -p "$(dirname "$ROOT/$1")"; cat > "$ROOT/$1"; }

# deb822 as Debian installs it, security stanza first; other file names are ignored.
put stock/sources.list.d/debian.sources <<'SRC'
Types: deb
# a comment inside the stanza
URIs: file:/srv/mirror/debian-security/
Suites: bookworm-security
Components: main

Types: deb
URIs: file:/srv/mirror/debian/
Suites: bookworm bookworm-updates
Components: main
SRC
put stock/sources.list.d/aaa.list.disabled-by-farm <<<'deb file:/srv/wrong/debian sid main'
expect stock file:/srv/mirror/debian

# One-line form with options; comments and security lines skipped; sources.list read first.
put oneline/sources.list <<'SRC'
# deb file:/srv/commented/debian sid main
deb file:/srv/local/debian-security trixie-security main
deb [ arch=amd64 signed-by=/usr/share/keyrings/k.gpg ] file:/srv/local/debian trixie main
SRC
put oneline/sources.list.d/later.list <<<'deb file:/srv/later/debian sid main'
expect oneline file:/srv/local/debian

# A disabled stanza, a stanza of another distribution, then several URIs without a final newline.
put stanzas/sources.list.d/a.sources <<'SRC'
Types: deb
URIs: file:/srv/off/debian
Suites: sid
Enabled: no

Types: deb
URIs: file:/srv/node/repo
Suites: nodistro
SRC
printf 'Types: deb-src\nURIs: file:/srv/none file:/srv/two/debian\nSuites: trixie' >> "$ROOT/stanzas/sources.list.d/a.sources"
expect stanzas file:/srv/two/debian

# Nothing Debian's: an error with the message.
put none/sources.list.d/node.sources <<'SRC'
Types: deb
URIs: file:/srv/node/debian-node
Suites: nodistro
SRC
put none/sources.list.d/debian.sources.disabled-by-farm <<'SRC'
Types: deb
URIs: file:/srv/mirror/debian
Suites: bookworm
SRC
expect none ""
expect missing ""

[ $failures -eq 0 ] && echo "debian_mirror: all cases pass"
exit $failures
