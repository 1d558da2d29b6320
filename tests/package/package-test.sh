#!/usr/bin/env bash
# Builds the Debian package from the build tree, unpacks it into a scratch
# root and checks what it installs: the file list, the control fields, the
# desktop entry and AppStream data, lintian (errors fail), and the program
# starting from its installed place.
#   package-test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
id=io.github.morvane.Morvane
work=$(mktemp -d /tmp/morvane-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack"; }
deb="$work/out/morvane_${version}_amd64.deb"
[ -f "$deb" ] || { ls "$work/out"; fail "no morvane_${version}_amd64.deb"; }

# Control fields.
[ "$(dpkg-deb -f "$deb" Package)" = morvane ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in 'fonts-wqy-microhei | fonts-noto-cjk' qt6-translations-l10n libmariadb3 libqt6widgets6 libc6; do
    grep -qF "$d" <<<"$depends" || fail "Depends lacks $d"
done
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"
[ -n "$(dpkg-deb -f "$deb" Section)" ] || fail "no section"

# Exactly these files, nothing of the library, headers, tests or benchmarks.
root="$work/root"
dpkg-deb -x "$deb" "$root"
expected="./usr/bin/morvane
./usr/share/applications/$id.desktop
./usr/share/doc/morvane/changelog.gz
./usr/share/doc/morvane/copyright
./usr/share/icons/hicolor/128x128/apps/$id.png
./usr/share/icons/hicolor/256x256/apps/$id.png
./usr/share/icons/hicolor/48x48/apps/$id.png
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/man/man1/morvane.1.gz
./usr/share/metainfo/$id.metainfo.xml"
actual=$(cd "$root" && find . ! -type d | LC_ALL=C sort)
[ "$actual" = "$expected" ] || { diff <(echo "$expected") <(echo "$actual") || true; fail "installed files"; }

# The menu entry starts the installed program with the installed icon.
desktop="$root/usr/share/applications/$id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=morvane' "$desktop" || fail "Exec"
grep -qx "Icon=$id" "$desktop" || fail "Icon"
grep -q '^Name\[zh_CN\]=' "$desktop" || fail "no Chinese name"
grep -qx 'Categories=Development;Database;' "$desktop" || fail "Categories"
for size in 48 128 256; do
    file -b "$root/usr/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "^PNG image data, $size x $size," \
        || fail "PNG icon of $size px"
done
metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<id>$id</id>" "$metainfo" || fail "AppStream id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "launchable"
grep -q "<release version=\"$version\"" "$metainfo" || fail "no AppStream release for $version"
zcat "$root/usr/share/doc/morvane/changelog.gz" | head -n1 | grep -qF "morvane ($version)" \
    || fail "no changelog entry for $version"
zcat "$root/usr/share/man/man1/morvane.1.gz" | head -n1 | grep -qF "\"morvane $version\"" \
    || fail "manual page of another version"

# lintian: errors fail the test, warnings are shown.
lintian --fail-on error "$deb" 2>&1 | tee "$work/lintian.log" \
    || fail "lintian reports errors"

# The unpacked program runs from where it was installed (its libraries come
# from the system).
out=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/morvane" --version) || fail "morvane --version"
echo "$out"
[ "$(head -n1 <<<"$out")" = "morvane $version" ] || fail "version line"
grep -q '^Qt ' <<<"$out" || fail "no Qt version"
grep -q '^MariaDB Connector/C ' <<<"$out" || fail "no Connector/C version"
echo "package test passed"
