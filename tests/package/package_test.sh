#!/bin/bash
# Builds the Debian package from this build once, unpacks it into a temporary root and
# checks what it holds: the files where the program expects them, a desktop entry and
# AppStream data that validate, the Russian man pages, and the unpacked program running on
# the sample directory under a private virtual X server.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR CHECKER
set -euo pipefail
build=$1 source=$2 checker=$3
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0
ok() { echo "ok: $*"; }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -D CPACK_STRIP_FILES=ON \
    -D CPACK_PACKAGE_DIRECTORY="$work" >cpack.log 2>&1) || { cat "$work/cpack.log"; exit 1; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb="$work/lambreya_${version}_amd64.deb"
[[ -f $deb ]] && ok "the package is named $(basename "$deb")" || { fail "no $deb"; ls "$work"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6widgets6 qt6-qpa-plugins fonts-liberation qt6-translations-l10n; do
    [[ $depends == *"$need"* ]] && ok "depends on $need" || fail "Depends lacks $need: $depends"
done

description=$(dpkg-deb -f "$deb" Description)
[[ $description == *"справочник абонентов"* && $description != *$'\n ;'* ]] \
    && ok "described in Russian" || fail "Description: $description"

root="$work/root"
dpkg-deb -x "$deb" "$root"
id=ru.lambreya.Lambreya
for f in usr/lib/lambreya/Kalvest usr/lib/lambreya/Kalvest.hlp usr/bin/kalvest-data \
         usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/icons/hicolor/32x32/apps/$id.png \
         usr/share/man/ru/man1/Kalvest.1.gz usr/share/man/ru/man1/kalvest-data.1.gz \
         usr/share/lambreya/kalvest.cds; do
    [[ -f $root/$f ]] && ok "$f" || fail "missing $f"
done
[[ $(readlink "$root/usr/bin/Kalvest") == ../lib/lambreya/Kalvest ]] \
    && ok "usr/bin/Kalvest links to the program's folder" || fail "usr/bin/Kalvest is no link"
cmp -s "$root/usr/lib/lambreya/Kalvest.hlp" "$source/docs/help/Kalvest.hlp" \
    && ok "the help file lies beside the program" || fail "Kalvest.hlp differs"

desktop-file-validate "$root/usr/share/applications/$id.desktop" && ok "desktop entry validates" \
    || fail "desktop-file-validate"
grep -qx 'Name=Ламбрея' "$root/usr/share/applications/$id.desktop" && ok "named Ламбрея" \
    || fail "the desktop entry's name"
grep -qx 'Categories=Office;ContactManagement;' "$root/usr/share/applications/$id.desktop" \
    && ok "categories" || fail "the desktop entry's categories"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1 \
    && ok "AppStream data validates" || { cat "$work/as.log"; fail "appstreamcli validate"; }
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" \
    && ok "AppStream release $version" || fail "AppStream release"
for page in Kalvest kalvest-data; do
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$root/usr/share/man/ru/man1/$page.1.gz" 2>"$work/man.log")
    [[ $text == *"ИМЯ"* && $text == *"$page"* && ! -s $work/man.log ]] \
        && ok "man page $page" || { cat "$work/man.log"; fail "man page $page"; }
done
"$root/usr/bin/kalvest-data" info "$root/usr/share/lambreya/kalvest.cds" | grep -q 5000 \
    && ok "kalvest-data reads the sample" || fail "kalvest-data info on the sample"

# Installed: the program's folder holds no settings and cannot be written.
chmod a-w "$root/usr/lib/lambreya"
home="$work/home"
mkdir -p "$home/config/lambreya"
cp "$root/usr/share/lambreya/kalvest.cds" "$home/kalvest.cds"
printf '[Data]\nTableName=%s\n' "$home/kalvest.cds" >"$home/config/lambreya/KALVEST.INI"
"$(dirname "$0")/../app/run_with_xvfb.sh" "$checker" "$root" "$home" || failures=$((failures + 1))
[[ -z $(ls -A "$root/usr/lib/lambreya" | grep -vx -e Kalvest -e Kalvest.hlp) ]] \
    && ok "nothing was written beside the installed program" || fail "files beside the program"

exit $((failures > 0))
