#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and checks what lands where:
# the programs, the desktop entry, the AppStream metainfo, the icons and the
# manual pages; validates the desktop entry and the metainfo; starts the
# installed programs.
#   bash test_install.sh BUILD_DIR SOURCE_DIR VERSION [CONFIG]
set -uo pipefail

build=$1
source=$2
version=$3
config=${4:-}

app_id=org.tessaline.tessaline
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
prefix=$work/prefix

config_args=()
if [ -n "$config" ]; then
    config_args=(--config "$config")
fi
if ! cmake --install "$build" --prefix "$prefix" "${config_args[@]}" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAIL: cmake --install into $prefix"
    exit 1
fi
pass "cmake --install into a temporary prefix"
echo "Installed tree:"
(cd "$prefix" && find . -mindepth 1 \( -type f -o -type l \) | sort | sed 's/^/    /')

# What must be there.
for program in tessaline tessaline-convert tessaline-grade tessaline-generate; do
    if [ -f "$prefix/bin/$program" ] && [ -x "$prefix/bin/$program" ]; then
        pass "bin/$program is an executable file"
    else
        fail "bin/$program is missing or not executable"
    fi
done

desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
png=$prefix/share/icons/hicolor/64x64/apps/tessaline.png
svg=$prefix/share/icons/hicolor/scalable/apps/tessaline.svg
for file in "$desktop" "$metainfo" "$png" "$svg"; do
    if [ -s "$file" ]; then
        pass "${file#"$prefix"/}"
    else
        fail "${file#"$prefix"/} is missing or empty"
    fi
done

man_pages=()
for page in tessaline tessaline-convert tessaline-grade tessaline-generate; do
    found=$(find "$prefix/share/man/man1" -maxdepth 1 -name "$page.1*" 2>/dev/null | head -n 1)
    if [ -n "$found" ]; then
        pass "${found#"$prefix"/}"
        man_pages+=("$found")
    else
        fail "share/man/man1/$page.1* is missing"
    fi
done

# The licence and the changelog.
for file in share/doc/tessaline/copyright share/doc/tessaline/changelog.gz; do
    if [ -s "$prefix/$file" ]; then
        pass "$file"
    else
        fail "$file is missing or empty"
    fi
done
if grep -q "Copyright: 2026 The Tessaline developers" "$prefix/share/doc/tessaline/copyright" 2>/dev/null; then
    pass "the copyright file names the Tessaline developers"
else
    fail "the copyright file does not name the Tessaline developers"
fi

# Nothing for developers (headers, static libraries) belongs in the install.
stray=$(cd "$prefix" && find . -mindepth 1 -maxdepth 1 ! -name bin ! -name share)
if [ -z "$stray" ]; then
    pass "only bin/ and share/ at the top of the prefix"
else
    fail "unexpected entries at the top of the prefix: $stray"
fi

# The 64x64 icon: a PNG whose header says 64 by 64, the same bytes as the one
# compiled into the program.
if [ -s "$png" ]; then
    signature=$(od -An -tx1 -N8 "$png" | tr -d ' \n')
    size=$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')
    if [ "$signature" = 89504e470d0a1a0a ] && [ "$size" = 0000004000000040 ]; then
        pass "64x64/apps/tessaline.png is a 64 x 64 PNG"
    else
        fail "64x64/apps/tessaline.png: signature $signature, size field $size"
    fi
    if cmp -s "$png" "$source/resources/icons/tessaline.png"; then
        pass "the installed icon is the program's own icon"
    else
        fail "the installed icon differs from resources/icons/tessaline.png"
    fi
fi
if [ -s "$svg" ]; then
    if grep -q '<svg[^>]*xmlns="http://www.w3.org/2000/svg"' "$svg" && grep -q '</svg>' "$svg"; then
        pass "scalable/apps/tessaline.svg is an SVG document"
    else
        fail "scalable/apps/tessaline.svg is not an SVG document"
    fi
    if ! command -v xmllint >/dev/null 2>&1; then
        fail "xmllint is not installed (package libxml2-utils), the SVG is not checked"
    elif xmllint --noout "$svg"; then
        pass "xmllint: the SVG is well-formed"
    else
        fail "xmllint rejects the SVG"
    fi
fi

# The desktop entry: valid, starting the installed program without file
# arguments, with an icon that the theme holds.
if [ -s "$desktop" ]; then
    if ! command -v desktop-file-validate >/dev/null 2>&1; then
        fail "desktop-file-validate is not installed (package desktop-file-utils)"
    else
        output=$(desktop-file-validate "$desktop" 2>&1)
        status=$?
        if [ $status -eq 0 ] && [ -z "$output" ]; then
            pass "desktop-file-validate: no errors, no warnings"
        else
            echo "$output"
            fail "desktop-file-validate (exit status $status)"
        fi
    fi
    exec_line=$(sed -n 's/^Exec=//p' "$desktop")
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    if [ "$exec_line" = tessaline ]; then
        pass "Exec=tessaline, no file arguments"
    else
        fail "Exec is '$exec_line', expected 'tessaline'"
    fi
    if [ "$icon" = tessaline ] && [ -f "$png" ]; then
        pass "Icon=$icon names the installed theme icon"
    else
        fail "Icon is '$icon', which is not the installed tessaline icon"
    fi
    for key in Name GenericName Comment Categories; do
        if grep -q "^$key=." "$desktop"; then
            pass "the desktop entry has $key"
        else
            fail "the desktop entry has no $key"
        fi
    done
fi

# The metainfo: valid where appstreamcli exists, naming the installed desktop
# entry and the installed programs.
if [ -s "$metainfo" ]; then
    if command -v appstreamcli >/dev/null 2>&1; then
        if output=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1); then
            echo "$output" | sed 's/^/    /'
            pass "appstreamcli validate --no-net"
        else
            echo "$output"
            fail "appstreamcli validate --no-net"
        fi
    else
        echo "skip: appstreamcli is not installed (package appstream), metainfo not validated"
    fi
    if grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"; then
        pass "the metainfo launches $app_id.desktop"
    else
        fail "the metainfo does not name $app_id.desktop as its launchable"
    fi
    for program in tessaline tessaline-convert tessaline-grade tessaline-generate; do
        if grep -q "<binary>$program</binary>" "$metainfo"; then
            pass "the metainfo provides $program"
        else
            fail "the metainfo does not provide $program"
        fi
    done
fi

# The manual pages render without a warning where man is installed.
for page in "${man_pages[@]}"; do
    if ! command -v man >/dev/null 2>&1; then
        fail "man is not installed (package man-db), ${page##*/} not rendered"
        continue
    fi
    # Without a terminal man marks bold by overstriking; that is taken out.
    rendered=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$page" \
        2>"$work/man.err" | sed 's/.\x08//g')
    if [ -s "$work/man.err" ]; then
        cat "$work/man.err"
        fail "${page##*/} renders with warnings"
    elif ! grep -q '^NAME' <<<"$rendered"; then
        fail "${page##*/} renders without a NAME section"
    else
        pass "${page##*/} renders without warnings"
    fi
done
convert_page=$(printf '%s\n' "${man_pages[@]}" | grep '/tessaline-convert\.1' | head -n 1)
if [ -n "$convert_page" ]; then
    text=$(case $convert_page in *.gz) gzip -dc "$convert_page" ;; *) cat "$convert_page" ;; esac)
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" DIAGNOSTICS EXAMPLES FILES; do
        if grep -q "^\.SH \"\?$section\"\?$" <<<"$text"; then
            pass "tessaline-convert.1 has the section $section"
        else
            fail "tessaline-convert.1 has no section $section"
        fi
    done
fi

# The installed programs start.
home=$work/home
mkdir -p "$home"
if [ -x "$prefix/bin/tessaline-convert" ]; then
    output=$("$prefix/bin/tessaline-convert" --version 2>&1)
    status=$?
    if [ $status -eq 0 ] && grep -q "$version" <<<"$output"; then
        pass "installed tessaline-convert --version: $output"
    else
        fail "installed tessaline-convert --version exited $status: $output"
    fi
    # The installed converter writes a whole program for every example, the
    # same bytes as the converter in the build tree.
    built=$(find "$build/cli" -maxdepth 1 -name tessaline-convert -type f | head -n 1)
    for example in "$source"/examples/*.dat; do
        [ -f "$example" ] || continue
        name=examples/${example##*/}
        "$prefix/bin/tessaline-convert" "$example" >"$work/installed.dms" 2>"$work/installed.err"
        status=$?
        last=$(tail -n 1 "$work/installed.dms")
        if [ $status -eq 0 ] && [ "$last" = ENDFIL ] &&
            grep -qx "DMISMN/'validation.dms' 04.0" "$work/installed.dms"; then
            pass "installed tessaline-convert converts $name"
        else
            cat "$work/installed.err"
            fail "installed tessaline-convert on $name: exit status $status, last line '$last'"
        fi
        if [ -n "$built" ]; then
            "$built" "$example" >"$work/built.dms" 2>/dev/null
            if cmp -s "$work/installed.dms" "$work/built.dms"; then
                pass "same bytes as the build tree's converter for $name"
            else
                fail "the installed and the built converter differ on $name"
            fi
        fi
    done
fi
if [ -x "$prefix/bin/tessaline-grade" ]; then
    output=$("$prefix/bin/tessaline-grade" --version 2>&1)
    status=$?
    if [ $status -eq 0 ] && grep -q "$version" <<<"$output"; then
        pass "installed tessaline-grade --version: $output"
    else
        fail "installed tessaline-grade --version exited $status: $output"
    fi
    # Every example is self-consistent: its stated fits are the points' fits.
    for example in "$source"/examples/*.dat; do
        [ -f "$example" ] || continue
        name=examples/${example##*/}
        if "$prefix/bin/tessaline-grade" --refit "$example" >"$work/grade.out" 2>&1; then
            pass "installed tessaline-grade --refit $name: $(tail -n 1 "$work/grade.out")"
        else
            cat "$work/grade.out"
            fail "installed tessaline-grade --refit $name does not pass"
        fi
    done
fi
if [ -x "$prefix/bin/tessaline-generate" ]; then
    output=$("$prefix/bin/tessaline-generate" --version 2>&1)
    status=$?
    if [ $status -eq 0 ] && grep -q "$version" <<<"$output"; then
        pass "installed tessaline-generate --version: $output"
    else
        fail "installed tessaline-generate --version exited $status: $output"
    fi
    # The installed generator writes the suite, the same bytes as the build
    # tree's, and every file of it is self-consistent by the installed grader.
    built=$(find "$build/cli" -maxdepth 1 -name tessaline-generate -type f | head -n 1)
    if "$prefix/bin/tessaline-generate" --suite "$work/suite" >"$work/generate.out" 2>&1; then
        pass "installed tessaline-generate --suite"
    else
        cat "$work/generate.out"
        fail "installed tessaline-generate --suite"
    fi
    if [ -n "$built" ] && "$built" --suite "$work/built-suite" >/dev/null 2>&1 &&
        diff -r "$work/suite" "$work/built-suite" >/dev/null; then
        pass "same suite as the build tree's generator"
    else
        fail "the installed and the built generator write different suites"
    fi
    for file in "$work"/suite/*.dat; do
        [ -f "$file" ] || continue
        if [ -x "$prefix/bin/tessaline-grade" ] &&
            "$prefix/bin/tessaline-grade" --refit "$file" >"$work/grade.out" 2>&1; then
            pass "installed tessaline-grade --refit suite/${file##*/}: $(tail -n 1 "$work/grade.out")"
        else
            cat "$work/grade.out"
            fail "installed tessaline-grade --refit suite/${file##*/} does not pass"
        fi
    done
fi
if [ -x "$prefix/bin/tessaline" ]; then
    # The window runs until it is stopped: still running after 3 seconds,
    # stopped by timeout (exit status 124), means it started.
    HOME=$home XDG_CONFIG_HOME=$home/.config QT_QPA_PLATFORM=offscreen \
        timeout 3 "$prefix/bin/tessaline" >"$work/window.log" 2>&1
    status=$?
    if [ $status -eq 124 ]; then
        pass "installed tessaline starts and keeps running"
    else
        cat "$work/window.log"
        fail "installed tessaline ended by itself with exit status $status"
    fi
fi

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all install checks passed"
