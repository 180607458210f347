#!/usr/bin/env bash
# Proves the README's two commands on a truly fresh Debian 12: builds a minimal Debian 12 root
# with debootstrap from the package registry this machine's apt sources name, copies a clean
# checkout of the committed tree into it, and inside it (chroot, with /proc, /dev and /sys
# mounted) runs the test command, then the play command's headless fallback with a short frame
# limit. Then it builds the Debian package there, installs it with apt-get into a second fresh
# root (which pulls what the package needs), runs the installed demo from /tmp as an ordinary
# user, checks that the settings and screenshots land in that user's folders and that nothing
# under /usr changed, and removes the package. Prints each step and stops with a non-zero
# status at the first failure.
# Run by hand as root; it takes many minutes and downloads a few hundred MB of packages.
# Usage: scripts/fresh-machine-check.sh [folder for the root, default /var/tmp/driftline-fresh]
# The folder is removed and made anew on every run, so the script only ever removes a folder it
# made itself (it leaves a marker file in it), never one with anything still mounted inside.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
suite=bookworm
marker=.driftline-fresh-root

step() { echo; echo "== $(date +%H:%M:%S) $*"; }
die() { echo "fresh-machine-check: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || die "run as root: debootstrap and chroot need it"
# One spelling of the path for every check below: relative, trailing slashes, "..", links.
target=$(realpath -m -- "${1:-/var/tmp/driftline-fresh}")
case "$target" in
    / | /bin | /boot | /dev | /etc | /home | /lib* | /opt | /proc | /root | /run | /sbin | /srv | \
        /sys | /tmp | /usr | /var | /var/tmp)
        die "refusing to use $target as the fresh root" ;;
esac

# Mount points at or below the target, deepest first (findmnt escapes blanks as \x20).
mounts_below() {
    findmnt -rn -o TARGET | awk -v t="$target" '$0 == t || index($0, t "/") == 1' | sort -r
}

# Removes a root this script made earlier, once nothing is mounted in it any more.
remove_old_root() {
    [ -e "$target" ] || return 0
    [ -d "$target" ] && [ -f "$target/$marker" ] ||
        die "$target exists and was not made by this script (no $marker in it); remove it yourself"
    local point
    while read -r point; do
        [ -n "$point" ] && umount -R "$point" 2>/dev/null || true
    done < <(mounts_below)
    [ -z "$(mounts_below)" ] ||
        die "$target still has file systems mounted in it: $(mounts_below | tr '\n' ' ')"
    rm -rf --one-file-system -- "$target"
}

# The first Debian mirror in the apt sources, in either the one-line or the deb822 format.
mirror_of_apt_sources() {
    local files=() file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && files+=("$file")
    done
    [ ${#files[@]} -gt 0 ] || return 0
    awk -v suite="$suite" '
        /^deb[ \t]/ && $0 ~ " " suite " " { print ($2 ~ /^\[/ ? $3 : $2); exit }
        /^URIs:/ { uri = $2 }
        /^Suites:/ && uri != "" && $0 ~ (" " suite "( |$)") { print uri; exit }
        /^$/ { uri = "" }
    ' "${files[@]}"
}

mounted=()
cleanup() {
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[$i]}" 2>/dev/null || umount -R -l "${mounted[$i]}" 2>/dev/null || true
    done
}
trap cleanup EXIT

bind_into_root() {
    local what=$1
    mkdir -p "$target$what"
    mount --rbind "$what" "$target$what"
    mount --make-rslave "$target$what"
    mounted+=("$target$what")
}

step "Host tools: debootstrap and git"
for tool in debootstrap git; do
    if ! command -v "$tool" >/dev/null; then
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$tool"
    fi
done

mirror=$(mirror_of_apt_sources)
[ -n "$mirror" ] || die "no Debian $suite mirror found in the apt sources"

step "Minimal Debian 12 root in $target from $mirror"
remove_old_root
mkdir -p -- "$target"
touch -- "$target/$marker"
debootstrap --variant=minbase "$suite" "$target" "$mirror" >"$target.debootstrap.log" 2>&1 ||
    { tail -n 20 "$target.debootstrap.log"; die "debootstrap failed"; }
echo "packages in the fresh root: $(chroot "$target" dpkg-query -W | wc -l)"
cp /etc/resolv.conf "$target/etc/resolv.conf" 2>/dev/null || true
# The fresh root gets the same sources as this machine, so it reaches the same registry.
cp -r /etc/apt/sources.list.d/. "$target/etc/apt/sources.list.d/" 2>/dev/null || true
[ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$target/etc/apt/sources.list"
find "$target/etc/apt/sources.list.d" -name '*disabled*' -delete

step "Clean checkout of $(git -C "$root" rev-parse --short HEAD) into /root/driftline"
git clone -q --no-local "$root" "$target/root/driftline"

bind_into_root /proc
bind_into_root /dev
bind_into_root /sys

in_root() {
    chroot "$target" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "cd /root/driftline && $1"
}

before=$(chroot "$target" dpkg-query -W -f='${Package}\n' | sort)

step "Test command: scripts/test.sh"
in_root "scripts/test.sh" >"$target.test.log" 2>&1 ||
    { tail -n 40 "$target.test.log"; die "the test command failed (log: $target.test.log)"; }
grep -E "tests passed|tests failed" "$target.test.log" | tail -n 1

step "Packages the project installed"
after=$(chroot "$target" dpkg-query -W -f='${Package}\n' | sort)
echo "$(comm -13 <(echo "$before") <(echo "$after") | wc -l) packages installed for the project's list:"
grep -v -e '^#' -e '^$' "$root/scripts/packages.txt" | tr '\n' ' '
echo

step "Play command without a display: scripts/play.sh --frames 120"
in_root "scripts/play.sh --frames 120 --screenshot-every 0" >"$target.play.log" 2>&1 ||
    { tail -n 30 "$target.play.log"; die "the play command failed"; }
grep -q "passes in" "$target.play.log" || { tail -n 30 "$target.play.log"; die "no profile"; }
grep -E "No display found|GL debug messages|passes in" "$target.play.log"

step "Debian package: scripts/package.sh"
in_root "scripts/package.sh /root" >"$target.package.log" 2>&1 ||
    { tail -n 30 "$target.package.log"; die "the package was not built"; }
package=$(tail -n 1 "$target.package.log")
echo "$package"

# A second fresh root, with nothing of the build in it: the package alone must bring what the
# game needs. Xvfb is this check's own tool (a screen for the demo), not the game's.
player_root="$target/player-root"
step "Second fresh root for the package in $player_root"
mkdir -p "$player_root"
debootstrap --variant=minbase "$suite" "$player_root" "$mirror" >"$target.debootstrap2.log" 2>&1 ||
    { tail -n 20 "$target.debootstrap2.log"; die "debootstrap failed"; }
cp /etc/resolv.conf "$player_root/etc/resolv.conf" 2>/dev/null || true
cp -r "$target/etc/apt/sources.list.d/." "$player_root/etc/apt/sources.list.d/" 2>/dev/null || true
[ -f "$target/etc/apt/sources.list" ] && cp "$target/etc/apt/sources.list" "$player_root/etc/apt/sources.list"
cp "$target$package" "$player_root/root/"
for what in /proc /dev /sys; do
    mkdir -p "$player_root$what"
    mount --rbind "$what" "$player_root$what"
    mount --make-rslave "$player_root$what"
    mounted+=("$player_root$what")
done
in_player_root() {
    chroot "$player_root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin:/usr/games \
        bash -c "$1"
}
in_player_root "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends xvfb xauth >/dev/null" || die "xvfb could not be installed"

step "apt-get install ./$(basename "$package")"
in_player_root "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    /root/$(basename "$package")" >"$target.install.log" 2>&1 ||
    { tail -n 30 "$target.install.log"; die "the package did not install"; }
in_player_root "useradd -m player"
usr_before=$(in_player_root "find /usr -printf '%p %s %T@\n' | sort")

step "The installed demo as the user player, from /tmp: driftline-demo --frames 60"
in_player_root "cd /tmp && runuser -u player -- env HOME=/home/player ALSOFT_DRIVERS=null \
    xvfb-run -a -s '-screen 0 1280x720x24' /usr/games/driftline-demo --frames 60 \
    --size 320x240 --screenshots /tmp/shots --screenshot-every 0" >"$target.installed.log" 2>&1 ||
    { tail -n 30 "$target.installed.log"; die "the installed demo failed"; }
grep -E "Settings are kept in|passes in" "$target.installed.log"
[ -f "$player_root/home/player/.config/driftline-prime/settings.ini" ] ||
    die "no settings in the player's ~/.config/driftline-prime"
[ -f "$player_root/tmp/shots/frame-000002.png" ] || die "no screenshot in /tmp/shots"
usr_after=$(in_player_root "find /usr -printf '%p %s %T@\n' | sort")
[ "$usr_before" = "$usr_after" ] ||
    die "the run changed /usr: $(diff <(echo "$usr_before") <(echo "$usr_after") | head -5)"
echo "settings in /home/player/.config/driftline-prime, screenshots in /tmp/shots, /usr unchanged"

step "apt-get remove driftline-prime"
in_player_root "DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq driftline-prime" \
    >"$target.remove.log" 2>&1 || { tail -n 20 "$target.remove.log"; die "the package did not remove"; }
[ ! -e "$player_root/usr/games/driftline" ] || die "the game is still there after the removal"
[ -f "$player_root/home/player/.config/driftline-prime/settings.ini" ] ||
    die "the removal took the player's settings"
echo "removed; the player's folders are left alone"

step "Fresh Debian 12: both commands passed, and the package installs, runs and removes"
