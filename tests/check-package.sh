#!/usr/bin/env bash
# Builds the Debian package from a build folder with CPack and checks it:
# the file list and control fields, the desktop entry and AppStream data
# with their validators, apt's view of its dependencies, the hardening of
# the programs, no placeholder address anywhere, an install into a
# throw-away root and the installed program's --version without a display.
# Lintian runs when it is installed (pedantic, with the informational tags);
# its errors and warnings and any hardening tag fail the test.
#   check-package.sh BUILD_DIR
set -uo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
deb="$work/out/clipstow_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls "$work/out"; echo "FAIL: no $deb"; exit 1; }
echo "package: $(basename "$deb")"

# Every file the package must hold.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
app_id=io.github.clipstow.clipstow
for file in /usr/bin/clipstow /usr/bin/clipstow-reg \
    /usr/share/applications/clipstow.desktop \
    /usr/share/metainfo/$app_id.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/clipstow.svg \
    /usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128}/apps/clipstow.png \
    /usr/share/bash-completion/completions/{clipstow,clipstow-reg} \
    /usr/share/man/man1/clipstow.1.gz /usr/share/man/man1/clipstow-reg.1.gz \
    /usr/share/doc/clipstow/copyright /usr/share/doc/clipstow/changelog.gz; do
    grep -qx "$file" "$work/files" || fail "missing $file"
done
# Nothing but the program's own folders: no build paths, no tests.
unexpected="$(grep -v -e '^/usr/bin/' -e '^/usr/share/' "$work/files" | grep -v '^/usr/$')"
[ -z "$unexpected" ] || fail "unexpected files: $unexpected"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Section)" = utils ] || fail "Section is '$(field Section)'"
[ "$(field Package)" = clipstow ] || fail "Package is '$(field Package)'"
depends="$(field Depends)"
for needed in libqt6svg6 libqt6gui6 libqt6widgets6 libwayland-client0 libc6 libxcb-xfixes0; do
    grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
[ "$(field Recommends)" = qt6-wayland ] || fail "Recommends is '$(field Recommends)'"
[ -n "$(field Description | sed -n 2p)" ] || fail "no long description"
# The web site the build was given, or none.
web_site="$(sed -n 's/^CLIPSTOW_WEB_SITE:STRING=//p' "$build/CMakeCache.txt")"
[ "$(field Homepage)" = "$web_site" ] || fail "Homepage is '$(field Homepage)', not '$web_site'"

# The installed contents: stripped programs, valid desktop data, readable
# manual pages.
dpkg-deb -x "$deb" "$work/tree"
for program in clipstow clipstow-reg; do
    file -b "$work/tree/usr/bin/$program" | grep -q ', stripped' ||
        fail "$program not stripped: $(file -b "$work/tree/usr/bin/$program")"
done
desktop-file-validate "$work/tree/usr/share/applications/clipstow.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$work/tree/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "appstreamcli validate"
for page in clipstow clipstow-reg; do
    warnings="$(MANWIDTH=80 man --warnings -l "$work/tree/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "man $page: $warnings"
    man -l "$work/tree/usr/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^NAME" ||
        fail "man $page has no NAME section"
done
for size in 16 22 24 32 48 64 128; do
    png="$work/tree/usr/share/icons/hicolor/${size}x${size}/apps/clipstow.png"
    file -b "$png" | grep -q "PNG image data, $size x $size" || fail "icon $size: $(file -b "$png")"
done

# No address made up for an example reaches users.
placeholders="$(grep -rlaE 'example\.(org|com|net)' "$work/tree")"
[ -z "$placeholders" ] || fail "placeholder addresses in: $placeholders"
# Hardened as Debian builds packages: read-only relocations bound at start,
# the stack protector and fortified C library functions.
for program in clipstow clipstow-reg; do
    binary="$work/tree/usr/bin/$program"
    readelf -lW "$binary" | grep -q GNU_RELRO || fail "$program has no RELRO"
    readelf -dW "$binary" | grep -qE 'BIND_NOW|FLAGS.*\bNOW\b' || fail "$program is not bound at start"
    symbols="$(readelf --dyn-syms -W "$binary")"
    grep -q __stack_chk_fail <<<"$symbols" || fail "$program has no stack protector"
    grep -qE '__[a-z_]+_chk@' <<<"$symbols" || fail "$program uses no fortified functions"
done

# apt accepts the package and can satisfy its dependencies here.
apt-get -s install "$deb" >"$work/apt.log" 2>&1 && grep -q '^Inst clipstow ' "$work/apt.log" ||
    { cat "$work/apt.log"; fail "apt-get -s install"; }

# An install with dpkg into a throw-away root (whose empty database has none
# of the dependencies, hence --force-depends), then the installed program.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(fakeroot)
"${as_root[@]}" dpkg --root="$root" --log=/dev/null --force-depends --force-not-root -i "$deb" \
    >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg --root -i"; }
dpkg --root="$root" -s clipstow 2>/dev/null | grep -q '^Status: install ok installed' ||
    fail "not installed in the throw-away root"
version_line="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/clipstow" --version)"
[ "$version_line" = "$(env -u DISPLAY "$build/src/clipstow" --version)" ] &&
    grep -q "^Clipstow 3 (version $version, built " <<<"$version_line" ||
    fail "installed clipstow --version: '$version_line'"

if command -v lintian >/dev/null; then
    lintian --allow-root --pedantic --display-info "$deb" >"$work/lintian.log" 2>&1
    grep -E '^[EWIPX]:' "$work/lintian.log"
    if grep -qE '^[EW]:' "$work/lintian.log"; then fail "lintian reports errors or warnings"; fi
    if grep -q 'hardening' "$work/lintian.log"; then fail "lintian finds the programs not hardened"; fi
else
    echo "lintian not installed: not run"
fi

[ "$failures" -eq 0 ] && echo "package checks passed"
exit $((failures > 0))
