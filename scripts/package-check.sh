#!/usr/bin/env bash
# Builds the Debian package and tries it as a user would, on this machine: installs it,
# checks the version, the menu entry and the AppStream data, runs the installed program
# offscreen as root (who may write the program folder, and must not) and as an ordinary
# user with the read-only program folder of a system install, then removes the package
# and checks that nothing of it is left. Needs root (CI's
# throwaway machine runs as root); a package installed before is removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
program_folder=/usr/libexec/velmora
app_id=org.velmora.tarrock
user=velmora-check

fail() { echo "package-check: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "run as root: it installs and removes the package"

scratch=$(mktemp -d)
created_user=""
cleanup() {
    if dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q "install ok installed"; then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq velmora >/dev/null || true
    fi
    [ -z "$created_user" ] || userdel -r "$user" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

"$root/scripts/setup-debian.sh" dpkg-dev file lintian desktop-file-utils appstream
"$root/scripts/build.sh"

echo "== package"
rm -f "$build"/velmora_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^project(Velmora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
deb="$build/velmora_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb"
# Errors fail the check; warnings are shown.
lintian --fail-on error "$deb" 2> >(grep -v "running with root privileges" >&2)

echo "== install"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
dpkg -L velmora > "$scratch/files"
answer=$(tarrock --version)
[ "$answer" = "tarrock (Velmora) $version" ] || fail "tarrock --version says: $answer"
tarrock --help | grep -q -- "--version" || fail "tarrock --help names no --version"
desktop-file-validate "/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml"
for side in 16 32 48 64 128 256; do
    [ -f "/usr/share/icons/hicolor/${side}x${side}/apps/$app_id.png" ] || fail "no ${side}px icon"
done
[ -f /usr/share/man/man1/tarrock.1.gz ] || fail "no manual page"
for file in velmora_en.qm installed.txt en/readme.txt data/en/操作说明.txt; do
    [ -f "$program_folder/$file" ] || fail "no $file in the program folder"
done

echo "== root, who may write the installed program folder but must not"
root_home="$scratch/root-home"
mkdir -p "$root_home"
env -i HOME="$root_home" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    /usr/bin/tarrock > "$scratch/root.log" 2>&1 &
program=$!
sleep 3
kill -TERM "$program"
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "tarrock as root ended with status $status after SIGTERM: $(cat "$scratch/root.log")"
[ -s "$root_home/.config/velmora/sysdata.dat" ] || fail "no settings in root's folder: $(cat "$scratch/root.log")"
[ -z "$(find "$program_folder" -newer "$scratch/files" -print -quit)" ] \
    || fail "root's run wrote into $program_folder: $(find "$program_folder" -newer "$scratch/files")"

echo "== an ordinary user with the read-only program folder"
if ! id "$user" >/dev/null 2>&1; then
    useradd --create-home --shell /usr/sbin/nologin "$user"
    created_user=yes
fi
home=$(getent passwd "$user" | cut -d: -f6)
rm -rf "$home/.config/velmora" "$home/.local/share/velmora"
# setpriv and env replace themselves with the command, so a signal to the started
# process reaches the program itself.
as_user=(setpriv --reuid="$user" --regid="$user" --init-groups
         env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen)
settings="$home/.config/velmora/sysdata.dat"
capture="$home/.local/share/velmora/data/$(date +%m-%d-%Y).txt"

# A plain start of the installed program, ended as the system ends it: the settings of a
# first start land in the user's configuration folder.
"${as_user[@]}" /usr/bin/tarrock > "$scratch/start.log" 2>&1 &
program=$!
sleep 3
kill -TERM "$program"
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "tarrock ended with status $status after SIGTERM: $(cat "$scratch/start.log")"
[ -s "$settings" ] || fail "no $settings after a start: $(cat "$scratch/start.log")"
[ ! -e "$program_folder/sysdata.dat" ] || fail "sysdata.dat written into $program_folder"

# The window driven by the main-window bench on the installed libraries and files: a single
# send between two pseudo-terminals with capture on, then the exit button; the driver
# compares sysdata.dat and the day's capture file byte for byte.
driver="$scratch/tst_mainwindow_systeminstall"
cp "$build/tests-bin/tst_mainwindow_systeminstall" "$driver"
chmod 755 "$scratch"
"${as_user[@]}" LD_LIBRARY_PATH="$program_folder" VELMORA_INSTALLED_FOLDER="$program_folder" "$driver" \
    > "$scratch/driver.log" 2>&1 || { cat "$scratch/driver.log"; fail "the installed program's run failed"; }
grep -q "^Totals: 4 passed, 0 failed, 0 skipped" "$scratch/driver.log" \
    || { cat "$scratch/driver.log"; fail "the driver skipped or missed a case"; }
[ -s "$settings" ] && [ -s "$capture" ] || fail "no settings or capture in $user's folders"
[ -z "$(find "$program_folder" -newer "$scratch/files" -print -quit)" ] || fail "$program_folder was written"

echo "== remove"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq velmora >/dev/null
left=""
while IFS= read -r path; do
    [ -e "$path" ] || [ -L "$path" ] || continue
    # Folders that other packages own too (/usr/share/man/man1 ...) stay.
    [ -d "$path" ] && [ ! -L "$path" ] && dpkg -S "$path" >/dev/null 2>&1 && continue
    left+=" $path"
done < "$scratch/files"
[ -z "$left" ] || fail "left after removal:$left"
[ ! -e "$program_folder" ] || fail "$program_folder left after removal"
echo "package-check: $deb installs, runs as root and as $user without writing into its folder, and removes cleanly"
