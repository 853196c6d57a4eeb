#!/usr/bin/env bash
# Kills a process saving a large file (-9, at random instants of two saves in
# a row) and checks with cmp after each kill that the file is the whole old
# or the whole new content and that a whole old copy is left, then that the
# next start saves cleanly without blaming another program.
#   tools/save_kill.sh [TRIES] [MiB]     (build/tests/save_kill_driver first)
set -uo pipefail
cd "$(dirname "$0")/.."
tries=${1:-20}
mib=${2:-256}
driver=build/tests/save_kill_driver
work=$(mktemp -d /var/tmp/bm-kill.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/tmp" "$work/doc"
old=$work/old new1=$work/new1 new2=$work/new2 doc=$work/doc/data.bin bak=$work/doc/data.bak
head -c $((mib << 20)) /dev/urandom >"$old"
head -c $(((mib << 20) - 4096)) "$old" >"$new1"
{ cat "$new1"; head -c 4096 /dev/zero | tr '\0' B; } >"$new2"
# How long the two saves take, to spread the kills over them.
cp "$old" "$doc"
start=$(date +%s%N)
"$driver" save "$doc" "$work/tmp" || { echo "an uninterrupted run failed"; exit 1; }
span=$((($(date +%s%N) - start) / 1000000))
echo "two saves of $mib MiB: $span ms"

same() { cmp -s "$1" "$2"; }
bad=0
for ((i = 1; i <= tries; i++)); do
  rm -rf "$work/tmp"/* "$work/tmp"/.[!.]* "$work/doc"/* "$work/doc"/.[!.]* 2>/dev/null
  cp "$old" "$doc"
  "$driver" save "$doc" "$work/tmp" &
  pid=$!
  sleep "$(awk -v s="$span" -v r="$RANDOM" 'BEGIN { printf "%.3f", s * r / 32768 / 1000 }')"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if same "$doc" "$old"; then state=old
  elif same "$doc" "$new1"; then state=new1
  elif same "$doc" "$new2"; then state=new2
  else state=torn; fi
  copy=none
  [ -e "$bak" ] && { same "$bak" "$old" && copy=old || { same "$bak" "$new1" && copy=new1 || copy=torn; }; }
  ok=yes
  case "$state:$copy" in
    old:*|new1:old|new1:new1|new2:new1) ;;
    *) ok=no ;;
  esac
  leftovers=$(find "$work/doc" -name '.data.bin.bm-*' | wc -l)
  "$driver" resume "$doc" "$work/tmp"
  resumed=$?
  after=none
  [ -e "$bak" ] && { same "$bak" "$old" && after=old || { same "$bak" "$new1" && after=new1 || { same "$bak" "$new2" && after=new2 || after=torn; }; }; }
  left=$(find "$work/doc" -name '.data.bin.bm-*' | wc -l)
  [ "$resumed" -eq 0 ] && [ "$after" != torn ] && [ "$after" != none ] && [ "$left" -eq 0 ] || ok=no
  echo "kill $i: file $state, backup $copy, temporaries $leftovers; next start exit $resumed, backup $after, temporaries $left: $ok"
  [ "$ok" = yes ] || bad=$((bad + 1))
done
echo "$bad of $tries failed"
[ "$bad" -eq 0 ]
