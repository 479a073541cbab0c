#!/usr/bin/env bash
# Installs what kirto needs on a Debian machine and builds its third-party libraries once.
#
# raylib 6.0 and GLFW 3.4 come from Debian's source packages (unstable and trixie), fetched through
# a private apt sources list so the system's own sources are never touched; that list uses the
# Debian mirror the machine's own apt configuration names, so a machine behind its own mirror
# works. raygui comes from the npm registry npm is configured with. The built libraries are cached
# under ~/.cache, keyed by version, so later runs skip all of this. On success it prints the
# dependency prefix on its last line.
#
# The Windows build (kirto.exe, cross-built with MinGW-w64) has raylib built again from the same
# sources, and for its tests GoogleTest from Debian's own sources in /usr/src/googletest, into
# <prefix>/windows, which has its own completion markers: a machine that has the Linux libraries
# builds only the Windows part.
#
# Usage: scripts/setup.sh [--test|--windows]
#        (--windows also installs the MinGW-w64 compiler and builds raylib for Windows;
#         --test does that too, and installs wine and what the tests need)
#        source scripts/setup.sh     (only defines debian_mirror, for its test)

# Prints the URI of the first Debian archive in the apt configuration under $KIRTO_APT_ETC
# (/etc/apt by default), read in apt's own order: sources.list, then sources.list.d/*.list and
# *.sources by name (apt ignores other names, and so does this). An entry counts when its URI
# path ends in /debian and it names a Debian suite other than a -security one. Fails with a
# message when there is none.
debian_mirror() {
    local etc="${KIRTO_APT_ETC:-/etc/apt}" f found=""
    local files=()
    [ -f "$etc/sources.list" ] && files+=("$etc/sources.list")
    for f in "$etc"/sources.list.d/*; do
        case "$f" in *.list|*.sources) [ -f "$f" ] && files+=("$f") ;; esac
    done
    for f in "${files[@]}"; do
        found=$(awk -v deb822="$([[ "$f" == *.sources ]] && echo 1 || echo 0)" '
            function debian_uri(uri) { sub(/\/+$/, "", uri); return uri ~ /^[a-z+]+:.*\/debian$/ ? uri : "" }
            function debian_suite(suite) { return suite ~ /^[a-z]+(-(updates|backports|proposed-updates))?$/ }
            # deb822: fields gathered per stanza (a blank line ends one); # lines are comments.
            function stanza_end(   n, i, u, uris, suites, ok, enabled) {
                enabled = tolower(fields["enabled"]); gsub(/[ \t]/, "", enabled)
                if (enabled != "no" && fields["types"] ~ /(^|[ \t])deb(-src)?([ \t]|$)/) {
                    ok = 0
                    n = split(fields["suites"], suites, /[ \t]+/)
                    for (i = 1; i <= n; i++) if (debian_suite(suites[i])) ok = 1
                    n = split(fields["uris"], uris, /[ \t]+/)
                    for (i = 1; ok && i <= n; i++) if ((u = debian_uri(uris[i])) != "") { print u; done = 1; exit }
                }
                delete fields; key = ""
            }
            deb822 && /^#/ { next }
            deb822 && /^[ \t]*$/ { stanza_end(); next }
            deb822 && /^[ \t]/ { if (key != "") fields[key] = fields[key] " " $0; next }
            deb822 { key = tolower(substr($0, 1, index($0, ":") - 1)); fields[key] = substr($0, index($0, ":") + 1); next }
            # One-line form: deb [options] URI suite components... (a comment never starts with deb)
            !deb822 {
                gsub(/\[[^]]*\]/, "")
                if (($1 == "deb" || $1 == "deb-src") && debian_suite($3) && (u = debian_uri($2)) != "") { print u; done = 1; exit }
            }
            END { if (deb822 && !done) stanza_end() }          # the last stanza may end the file
        ' "$f")
        [ -n "$found" ] && { echo "$found"; return 0; }
    done
    echo "no Debian mirror found in the apt configuration ($etc)" >&2
    return 1
}

# Sourced: only the function above is wanted.
[[ "${BASH_SOURCE[0]}" != "$0" ]] && return 0

set -euo pipefail

RAYLIB_SRC="raylib/sid"            # 6.0 in unstable
GLFW_SRC="glfw3/trixie"            # 3.4 in trixie
RAYGUI_NPM="raylib@0.14.0"         # ships raygui 3.2 as src/extras/raygui.h
DEPS_KEY="raylib-6.0_glfw-3.4_raygui-3.2_r2"

CACHE_ROOT="${XDG_CACHE_HOME:-$HOME/.cache}/kirto"
PREFIX="$CACHE_ROOT/$DEPS_KEY"
WIN_PREFIX="$PREFIX/windows"
WIN_TOOLCHAIN="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/cmake/mingw-w64-x86_64.cmake"
MODE="${1:-}"

step() { CURRENT_STEP="$1"; echo "== setup: $1" >&2; }
fail() { echo "setup failed during step: ${CURRENT_STEP:-start}" >&2; exit 1; }
trap fail ERR

BUILD_PKGS=(build-essential cmake dpkg-dev pkg-config libx11-dev libxcursor-dev libxi-dev libxinerama-dev
            libxrandr-dev libgl-dev libglvnd-dev fonts-dejavu-core ca-certificates)
TEST_PKGS=(libgtest-dev xvfb xauth libgl1-mesa-dri libxdamage-dev xdotool x11-utils python3 clang libclang-rt-dev llvm imagemagick
           lua5.4 tesseract-ocr)

WINDOWS_PKGS=(gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix)
# wine's X11 driver loads these X libraries itself at run time; they are only its recommends.
WINE_PKGS=(wine wine64 googletest libxrender1 libxcomposite1 libxfixes3 libxxf86vm1)

want=("${BUILD_PKGS[@]}")
case "$MODE" in
    --test) want+=("${TEST_PKGS[@]}" "${WINDOWS_PKGS[@]}" "${WINE_PKGS[@]}") ;;
    --windows) want+=("${WINDOWS_PKGS[@]}") ;;
esac
# Wine's Tahoma is metric-compatible with the Windows interface font; it is optional.
want_optional=(fonts-wine)

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

step "checking installed packages"
missing=()
for p in "${want[@]}" "${want_optional[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Node.js may come from elsewhere with its own npm; Debian's npm would conflict with it.
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ "${#missing[@]}" -gt 0 ]; then
    step "apt-get update"
    $SUDO apt-get update -qq
    step "installing packages: ${missing[*]}"
    # The optional font must not stop the build when a mirror lacks it.
    required=()
    for p in "${missing[@]}"; do [ "$p" = fonts-wine ] || required+=("$p"); done
    [ "${#required[@]}" -gt 0 ] && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${required[@]}" >/dev/null
    if [[ " ${missing[*]} " == *" fonts-wine "* ]]; then
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends fonts-wine >/dev/null 2>&1 \
            || echo "== setup: fonts-wine not available, the editor will use DejaVu Sans" >&2
    fi
fi

# The sources are fetched at most once per run, for whichever builds are missing; the work folder
# is removed afterwards, so the cache holds only the built libraries (a later Windows build
# fetches them again, which takes seconds, rather than keeping a copy of the sources).
WORK="$CACHE_ROOT/work-$DEPS_KEY"
RAYLIB_DIR=""
fetch_sources() {
    [ -n "$RAYLIB_DIR" ] && return 0
    step "finding the Debian mirror in the apt configuration"
    MIRROR=$(debian_mirror)

    step "preparing the work folder $WORK"
    rm -rf "$WORK"
    mkdir -p "$WORK/apt/lists/partial" "$WORK/apt/cache/archives/partial" "$WORK/src"
    cat > "$WORK/apt/sources.list" <<SRC
deb-src $MIRROR sid main
deb-src $MIRROR trixie main
SRC
    APT_OPTS=(-o "Dir::Etc::sourcelist=$WORK/apt/sources.list" -o "Dir::Etc::sourceparts=-"
              -o "Dir::State::Lists=$WORK/apt/lists" -o "Dir::Cache=$WORK/apt/cache"
              -o "APT::Sandbox::User=root"
              # The mirror may serve a frozen snapshot whose Release files are past their
              # Valid-Until date; the signatures are still checked.
              -o "Acquire::Check-Valid-Until=false" -o "Acquire::Check-Date=false")

    step "apt-get update of the private source list (sid, trixie)"
    apt-get "${APT_OPTS[@]}" update -qq

    step "apt-get source $RAYLIB_SRC and $GLFW_SRC"
    ( cd "$WORK/src" && apt-get "${APT_OPTS[@]}" source -qq "$RAYLIB_SRC" "$GLFW_SRC" >/dev/null )
    RAYLIB_DIR=$(find "$WORK/src" -maxdepth 1 -type d -name 'raylib-6.0*' | head -n 1)
    local glfw_dir
    glfw_dir=$(find "$WORK/src" -maxdepth 1 -type d -name 'glfw3-3.4*' | head -n 1)
    [ -n "$RAYLIB_DIR" ] || { echo "raylib 6.0 source not found (unstable may have moved on)" >&2; false; }
    [ -n "$glfw_dir" ] || { echo "GLFW 3.4 source not found" >&2; false; }

    step "placing GLFW inside the raylib tree"
    rm -rf "$RAYLIB_DIR/src/external/glfw"
    cp -a "$glfw_dir" "$RAYLIB_DIR/src/external/glfw"
}

if [ ! -f "$PREFIX/.complete" ]; then
    step "preparing the dependency cache at $PREFIX"
    rm -rf "$PREFIX"
    fetch_sources

    step "building raylib (static)"
    cmake -S "$RAYLIB_DIR" -B "$WORK/build-raylib" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
          -DUSE_EXTERNAL_GLFW=OFF -DGLFW_BUILD_WAYLAND=OFF -DBUILD_EXAMPLES=OFF -DPLATFORM=Desktop \
          -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_POSITION_INDEPENDENT_CODE=ON >/dev/null
    cmake --build "$WORK/build-raylib" -j "$(nproc)" >/dev/null
    cmake --install "$WORK/build-raylib" >/dev/null
    # cgltf is compiled into libraylib.a; its header lets our own glTF check call the same parser.
    install -D -m 644 "$RAYLIB_DIR/src/external/cgltf.h" "$PREFIX/include/cgltf.h"

    step "fetching raygui from the npm registry ($RAYGUI_NPM)"
    ( cd "$WORK" && npm pack --silent "$RAYGUI_NPM" >/dev/null && tar xzf raylib-*.tgz package/src/extras/raygui.h )
    install -D -m 644 "$WORK/package/src/extras/raygui.h" "$PREFIX/include/raygui.h"
    touch "$PREFIX/.complete"
fi

if [ -n "$MODE" ] && [ ! -f "$WIN_PREFIX/.complete" ]; then
    step "preparing the Windows dependency cache at $WIN_PREFIX"
    rm -rf "$WIN_PREFIX"
    fetch_sources

    # GLFW's win32 back-end and raylib's default OpenGL 3.3, as on Linux.
    step "building raylib for Windows (static, MinGW-w64)"
    cmake -S "$RAYLIB_DIR" -B "$WORK/build-raylib-windows" -DCMAKE_TOOLCHAIN_FILE="$WIN_TOOLCHAIN" \
          -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DUSE_EXTERNAL_GLFW=OFF -DBUILD_EXAMPLES=OFF \
          -DPLATFORM=Desktop -DOPENGL_VERSION=3.3 -DCMAKE_INSTALL_PREFIX="$WIN_PREFIX" >/dev/null
    cmake --build "$WORK/build-raylib-windows" -j "$(nproc)" >/dev/null
    cmake --install "$WORK/build-raylib-windows" >/dev/null
    # The same headers as the Linux prefix's: raygui is plain source, cgltf comes with raylib.
    install -m 644 "$PREFIX/include/cgltf.h" "$PREFIX/include/raygui.h" "$WIN_PREFIX/include/"
    touch "$WIN_PREFIX/.complete"
fi

# GoogleTest for the Windows unit tests, from the sources of the installed googletest package; its
# marker names that version, so an upgrade of the package builds it again.
GTEST_VERSION=$(dpkg-query -W -f='${Version}' googletest 2>/dev/null || true)
GTEST_MARK="$WIN_PREFIX/.gtest-complete-${GTEST_VERSION//[^A-Za-z0-9.+-]/_}"
if [ "$MODE" = "--test" ] && [ ! -f "$GTEST_MARK" ]; then
    step "building GoogleTest $GTEST_VERSION for Windows (MinGW-w64)"
    mkdir -p "$WORK"
    rm -rf "$WORK/build-gtest-windows" "$WIN_PREFIX"/.gtest-complete-*
    cmake -S /usr/src/googletest -B "$WORK/build-gtest-windows" -DCMAKE_TOOLCHAIN_FILE="$WIN_TOOLCHAIN" \
          -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON \
          -DCMAKE_INSTALL_PREFIX="$WIN_PREFIX" >/dev/null
    cmake --build "$WORK/build-gtest-windows" -j "$(nproc)" >/dev/null
    cmake --install "$WORK/build-gtest-windows" >/dev/null
    touch "$GTEST_MARK"
fi

rm -rf "$WORK"
echo "$PREFIX"
