#!/bin/bash
# Builds the Debian package from this build once, unpacks it into a temporary root and
# checks what it holds: lintian finds nothing to say, the files lie where the program
# expects them, a desktop entry and AppStream data validate, the man pages in Russian and
# English cover every command, and the unpacked program runs on the sample directory under
# a private virtual X server, started by the administrator and by an ordinary user, without
# writing into its own folder.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR CHECKER
set -euo pipefail
build=$1 source=$2 checker=$3
work=$(mktemp -d)
chmod 755 "$work" # an ordinary user reaches the home folders made in it
# The installed tree, where its folders can belong to the system as /usr/lib/lambreya does:
# /tmp, which anyone may write, cannot hold such a folder.
system=$(mktemp -d "$build/package-root.XXXXXX")
chmod 755 "$system"
trap 'chmod -R u+w "$work"; rm -rf "$work" "$system"' EXIT
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

if command -v lintian >/dev/null; then
    said=$(lintian --no-cfg "$deb" 2>&1 | grep -v '^running with root privileges' || true)
    [[ -z $said ]] && ok "lintian finds nothing" || { echo "$said"; fail "lintian"; }
else
    fail "lintian is not installed (scripts/install-deps installs it)"
fi

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
         usr/share/man/man1/Kalvest.1.gz usr/share/man/man1/kalvest-data.1.gz \
         usr/share/doc/lambreya/copyright usr/share/doc/lambreya/changelog.gz \
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
for licence in '<project_license>' '<url type="homepage">' '<screenshot type="default">'; do
    grep -q "$licence" "$root/usr/share/metainfo/$id.metainfo.xml" \
        && ok "AppStream $licence" || fail "AppStream lacks $licence"
done
commands=$("$root/usr/bin/kalvest-data" --help | sed -n 's/^  \([a-z]*\)$/\1/p')
[[ $(wc -w <<<"$commands") -ge 7 ]] && ok "kalvest-data lists its commands" \
    || fail "kalvest-data --help: $commands"
for lang in ru en; do
    dir=$root/usr/share/man/$lang/man1 name=ИМЯ
    [[ $lang == en ]] && dir=$root/usr/share/man/man1 name=NAME
    for page in Kalvest kalvest-data; do
        text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$dir/$page.1.gz" 2>"$work/man.log")
        [[ $text == *"$name"* && $text == *"$page"* && ! -s $work/man.log ]] \
            && ok "man page $page ($lang)" || { cat "$work/man.log"; fail "man page $page ($lang)"; }
    done
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$dir/kalvest-data.1.gz" 2>/dev/null)
    for command in $commands --version --spreadsheet; do
        [[ $text == *"$command"* ]] || fail "the $lang man page of kalvest-data lacks $command"
    done
done
# Outside a Russian locale man finds the English page.
[[ $(LC_ALL=C.UTF-8 MANWIDTH=80 man -M "$root/usr/share/man" Kalvest 2>&1) == *NAME*Kalvest* ]] \
    && ok "man Kalvest in the C locale" || fail "man Kalvest in the C locale"
"$root/usr/bin/kalvest-data" info "$root/usr/share/lambreya/kalvest.cds" | grep -q 5000 \
    && ok "kalvest-data reads the sample" || fail "kalvest-data info on the sample"

# A home folder for `who` whose settings name a copy of the sample directory.
make_home() {
    local home="$work/home-$1"
    mkdir -p "$home/config/lambreya"
    cp "$root/usr/share/lambreya/kalvest.cds" "$home/kalvest.cds"
    printf '[Data]\nTableName=%s\n' "$home/kalvest.cds" >"$home/config/lambreya/KALVEST.INI"
    echo "$home"
}
# Starts the installed program in `tree` as the command `as` says, closes it and checks that
# its settings went to the home folder and nothing beside the program.
start_installed() {
    local who=$1 tree=$2 home=$3
    shift 3
    echo "-- started by $who"
    "$(dirname "$0")/../app/run_with_xvfb.sh" "$@" "$checker" "$tree" "$home" \
        || failures=$((failures + 1))
    [[ -z $(ls -A "$tree/usr/lib/lambreya" | grep -vx -e Kalvest -e Kalvest.hlp) ]] \
        && ok "$who wrote nothing beside the installed program" \
        || fail "files beside the program after $who: $(ls "$tree/usr/lib/lambreya")"
}
# Whether the folder and every one above it belong to root and nobody else may write them.
belongs_to_the_system() {
    local dir
    dir=$(readlink -f "$1")
    while :; do
        read -r owner mode < <(stat -c '%u %a' "$dir")
        [[ $owner == 0 && $((8#$mode & 8#022)) == 0 ]] || return 1
        [[ $dir == / ]] && return 0
        dir=$(dirname "$dir")
    done
}

if [[ $(id -u) == 0 ]]; then
    dpkg-deb -x "$deb" "$system"
    if belongs_to_the_system "$system/usr/lib/lambreya"; then
        start_installed root "$system" "$(make_home root)"
        home=$(make_home user)
        chown -R 65534:65534 "$home"
        start_installed "an ordinary user" "$system" "$home" \
            setpriv --reuid=65534 --regid=65534 --clear-groups
    else
        echo "skipped: the build folder $build is writable by others than root, so an" \
             "installed tree in it cannot belong to the system"
    fi
else
    echo "skipped: starting the installed program as root and as another user needs root;" \
         "started by $(id -un) in a folder made read-only instead"
    chmod a-w "$root/usr/lib/lambreya"
    start_installed "$(id -un)" "$root" "$(make_home self)"
fi

exit $((failures > 0))
