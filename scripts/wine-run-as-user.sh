#!/usr/bin/env bash
# Runs a Windows program under Wine as an ordinary user:
#   wine-run-as-user.sh PREFIX PROGRAM [ARGUMENTS...]
#   wine-run-as-user.sh PREFIX --prefix     prints the prefix Wine will use
# PROGRAM is a file, or the name of one of Wine's own programs (cmd).
# Windows refuses to empty or replace a read-only file. Wine refuses too, but
# only because Unix does: run by the superuser, it empties and replaces such a
# file. Tests of that refusal therefore run Wine through this script.
#
# Run by an ordinary user, this is scripts/wine-run.sh. Run by root, Wine runs
# as nobody (uid and gid 65534, no other groups) in a prefix of its own,
# PREFIX-nobody, with its home folder beside it. Where nobody cannot reach the
# prefix's folder (a clone under /root), that area lies in /tmp instead, named
# after PREFIX, and the program, the other .exe files beside it (helpers it
# starts), wine-run.sh and the script it asks for Wine's loader are copied
# there.
set -euo pipefail
runner=$(dirname "$(realpath "$0")")/wine-run.sh
prefix=$(realpath -m "$1")
program=$2
[ -f "$program" ] && program=$(realpath "$program")
shift 2
if [ "$(id -u)" -ne 0 ]; then
  if [ "$program" = --prefix ]; then echo "$prefix" && exit 0; fi
  exec "$runner" "$prefix" "$program" "$@"
fi

user=65534
as_user() { setpriv --reuid=$user --regid=$user --clear-groups "$@"; }

mkdir -p "$(dirname "$prefix")"
area=$prefix-nobody
if ! as_user test -x "$(dirname "$prefix")"; then
  area=/tmp/quillfen-wine-nobody-$(printf '%s' "$prefix" | cksum | cut -d ' ' -f 1)
fi
mkdir -p "$area/home"
chown $user:$user "$area" "$area/home"
if [ "$program" = --prefix ]; then echo "$area/prefix" && exit 0; fi

bin=$area/bin
mkdir -p "$bin"
if ! as_user test -r "$runner"; then
  cp "$runner" "$(dirname "$runner")/wine-arch.sh" "$bin/"
  runner=$bin/$(basename "$runner")
fi
if [ -f "$program" ] && ! as_user test -r "$program"; then
  cp "$(dirname "$program")"/*.exe "$bin/"
  program=$bin/$(basename "$program")
fi
chown -R $user:$user "$bin"

as_user test -x . || cd "$area/home"
name=$(getent passwd $user | cut -d : -f 1 || true)
exec setpriv --reuid=$user --regid=$user --clear-groups \
  env -u XDG_RUNTIME_DIR -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME \
  HOME="$area/home" USER="${name:-nobody}" LOGNAME="${name:-nobody}" \
  bash "$runner" "$area/prefix" "$program" "$@"
