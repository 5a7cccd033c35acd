#!/usr/bin/env bash
# Builds the Debian package from the build tree into a temporary directory and
# checks its control fields and its contents.
#   bash test_package_deb.sh BUILD_DIR VERSION
# Exits 77 (skipped) where cpack or dpkg-deb is missing.
set -uo pipefail

build=$1
version=$2

for tool in cpack dpkg-deb; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skip: $tool is not installed"
        exit 77
    fi
done

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() {
    echo "ok:   $*"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack -G DEB"
    exit 1
fi
arch=$(dpkg --print-architecture 2>/dev/null || echo amd64)
deb=$work/tessaline_${version}_${arch}.deb
if [ -f "$deb" ]; then
    pass "cpack -G DEB wrote ${deb##*/}"
else
    ls -l "$work"
    fail "cpack -G DEB did not write tessaline_${version}_${arch}.deb"
    exit 1
fi

echo "Control:"
dpkg-deb --field "$deb" | sed 's/^/    /'

field() {
    dpkg-deb --field "$deb" "$1"
}
[ "$(field Package)" = tessaline ] && pass "Package: tessaline" || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] && pass "Version: $version" || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$arch" ] && pass "Architecture: $arch" || fail "Architecture is '$(field Architecture)'"
case $(field Section) in
    science | electronics) pass "Section: $(field Section)" ;;
    *) fail "Section is '$(field Section)'" ;;
esac
if [ -n "$(field Maintainer)" ]; then
    pass "Maintainer: $(field Maintainer)"
else
    fail "no Maintainer"
fi
description=$(field Description)
if [ "$(wc -l <<<"$description")" -ge 2 ]; then
    pass "Description has a synopsis and a long description"
else
    fail "Description is a single line: '$description'"
fi
depends=$(field Depends)
for library in libqt5core5a libqt5gui5 libqt5widgets5; do
    if grep -Eq "(^|, )$library( \(|,|$)" <<<"$depends"; then
        pass "Depends names $library"
    else
        fail "Depends does not name $library: $depends"
    fi
done

dpkg-deb --contents "$deb" >"$work/contents"
echo "Contents:"
sed 's/^/    /' "$work/contents"
contents=$(awk '{ print $6 }' "$work/contents")
for path in \
    ./usr/bin/tessaline \
    ./usr/bin/tessaline-convert \
    ./usr/bin/tessaline-grade \
    ./usr/bin/tessaline-generate \
    ./usr/share/doc/tessaline/copyright \
    ./usr/share/doc/tessaline/changelog.gz \
    ./usr/share/applications/org.tessaline.tessaline.desktop \
    ./usr/share/metainfo/org.tessaline.tessaline.metainfo.xml \
    ./usr/share/icons/hicolor/64x64/apps/tessaline.png \
    ./usr/share/icons/hicolor/scalable/apps/tessaline.svg; do
    if grep -qxF "$path" <<<"$contents"; then
        pass "${path#./}"
    else
        fail "the package has no ${path#./}"
    fi
done
for page in tessaline tessaline-convert tessaline-grade tessaline-generate; do
    if grep -Eq "^\./usr/share/man/man1/$page\.1(\.gz)?$" <<<"$contents"; then
        pass "usr/share/man/man1/$page.1*"
    else
        fail "the package has no manual page for $page"
    fi
done
# Every entry belongs to root, and the programs are executable.
if awk '$2 != "root/root" { bad = 1 } END { exit bad }' "$work/contents"; then
    pass "every entry belongs to root/root"
else
    fail "entries not owned by root/root"
fi
for program in tessaline tessaline-convert tessaline-grade tessaline-generate; do
    if grep -Eq "^-rwxr-xr-x .* \./usr/bin/$program$" "$work/contents"; then
        pass "usr/bin/$program is mode 755"
    else
        fail "usr/bin/$program is not mode 755"
    fi
done

# Debian's own checks: warnings are shown, errors fail.
if command -v lintian >/dev/null 2>&1; then
    lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
    sed 's/^/    /' "$work/lintian.log"
    if grep -q '^E: ' "$work/lintian.log"; then
        fail "lintian reports errors"
    else
        pass "lintian reports no error"
    fi
else
    echo "skip: lintian is not installed"
fi

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all package checks passed"
