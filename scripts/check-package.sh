#!/usr/bin/env bash
# Checks the Debian package the way a practice would meet it: lintian on the
# .deb, then a fresh Debian chroot of this machine's release where the
# package is installed with apt, `tarvelin-ecg-cli --help` runs and the
# application starts under Xvfb as an ordinary user with no settings (so in
# demo mode), once in English and once under a Spanish locale; a screenshot of
# each start (with a second copy's refusal box) and of a stress test started
# from the launcher on the demonstration replay is copied out. Needs root,
# debootstrap and network access to the Debian mirror. A chroot left by an
# earlier run is reused; the package is purged from it before installing.
#
#   scripts/check-package.sh [DEB] [CHROOT] [OUTDIR]
#   defaults: build/tarvelin-ecg_1.27_amd64.deb  /var/tmp/tarvelin-package-chroot  build/package-check
set -euo pipefail

deb=$(realpath "${1:-build/tarvelin-ecg_1.27_amd64.deb}")
root=$(realpath -m "${2:-/var/tmp/tarvelin-package-chroot}")
out=$(realpath -m "${3:-build/package-check}")
mirror=${MIRROR:-http://deb.debian.org/debian}
release=$(. /etc/os-release && echo "$VERSION_CODENAME")

[ "$(id -u)" -eq 0 ] || { echo "run as root (debootstrap and chroot)" >&2; exit 1; }
[ -f "$deb" ] || { echo "no package at $deb: run make package" >&2; exit 1; }
mkdir -p "$out"
export DEBIAN_FRONTEND=noninteractive
step() { printf '\n== %s (%s)\n' "$1" "$(date -u +%H:%M:%S)"; }

step "lintian"
command -v lintian > /dev/null || apt-get install -y -qq lintian > /dev/null
lintian "$deb" | tee "$out/lintian.txt"
if grep -q '^E:' "$out/lintian.txt"; then echo "lintian reports errors" >&2; exit 1; fi

step "fresh $release chroot in $root"
if [ ! -x "$root/usr/bin/apt-get" ]; then
  command -v debootstrap > /dev/null || apt-get install -y -qq debootstrap > /dev/null
  debootstrap --variant=minbase "$release" "$root" "$mirror"
fi
# Fresh proc and shm instances only, never bind mounts of the host's /dev or
# /sys: removing a chroot left mounted must not be able to reach the host's.
mountpoint -q "$root/proc" || mount -t proc proc "$root/proc"
mountpoint -q "$root/dev/shm" || mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
cleanup() { umount "$root/dev/shm" "$root/proc" 2> /dev/null || true; }
trap cleanup EXIT
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }

step "apt install ./$(basename "$deb")"
cp "$deb" "$root/tmp/"
in_root apt-get update -qq
if in_root dpkg -s tarvelin-ecg > /dev/null 2>&1; then in_root apt-get purge -y -qq tarvelin-ecg; fi
in_root apt-get install -y "./tmp/$(basename "$deb")"
in_root dpkg -s tarvelin-ecg | grep -E '^(Status|Version)'

step "tarvelin-ecg-cli --help"
in_root tarvelin-ecg-cli --help

step "the application under Xvfb, first start as an ordinary user"
in_root apt-get install -y -qq --no-install-recommends xvfb xauth imagemagick > /dev/null
in_root id tech > /dev/null 2>&1 || in_root useradd -m tech
# shoot NAME LANG: start the program, then a second copy, whose refusal box
# ("Information" or "Información", with Qt's own "OK"/"Aceptar" button) shows
# which catalogues were loaded; screenshot; check the first still runs.
shoot() {
  in_root su tech -c "cd ~ && LANG=$2 xvfb-run -a -s '-screen 0 1280x800x24' sh -c '
      tarvelin-ecg > /tmp/$1.log 2>&1 & pid=\$!
      sleep 10
      tarvelin-ecg >> /tmp/$1.log 2>&1 & second=\$!
      sleep 4
      import -window root /tmp/$1.png
      kill -0 \$pid && echo \"tarvelin-ecg ($2) running after 14 s\"
      kill \$second \$pid; wait \$pid || true'"
  cp "$root/tmp/$1.png" "$root/tmp/$1.log" "$out/"
}
in_root su tech -c 'rm -rf ~/.config/Tarvelin ~/.local/share/Tarvelin'
shoot launcher-en C.UTF-8
echo "settings written by the first start:"
in_root su tech -c 'cat ~/.config/Tarvelin/"Dodare RUD.conf"'
in_root su tech -c 'grep -qx "AcqMode=demo" ~/.config/Tarvelin/"Dodare RUD.conf"'
shoot launcher-es es_ES.UTF-8

step "a stress test on the demonstration replay, from the launcher's quick fields"
in_root apt-get install -y -qq --no-install-recommends xdotool > /dev/null
in_root su tech -c "cd ~ && LANG=C.UTF-8 xvfb-run -a -s '-screen 0 1280x800x24' sh -c '
    tarvelin-ecg > /tmp/monitor-demo.log 2>&1 & pid=\$!
    sleep 10
    xdotool mousemove 620 71 click 1 type Demo
    xdotool mousemove 620 106 click 1 type Paciente
    xdotool mousemove 830 239 click 1
    sleep 15
    import -window root /tmp/monitor-demo.png
    if xdotool search --name \"^MonitorWindow\$\" > /dev/null; then
        echo \"tarvelin-ecg monitoring the replay after 15 s\"
    else
        echo \"no stress monitor window after 15 s\"; kill \$pid; exit 1
    fi
    kill \$pid; wait \$pid || true'"
cp "$root/tmp/monitor-demo.png" "$root/tmp/monitor-demo.log" "$out/"

step "done: screenshots and logs in $out"
ls -l "$out"
