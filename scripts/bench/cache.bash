# Sourced by the benchmarks that reuse what they made (not a benchmark itself):
# a folder made once and shared by every run on the machine.
#   bench_cache DIR KEY MAKE  makes sure DIR holds what "MAKE FOLDER" puts into
#                             an empty FOLDER for KEY (one line that names the
#                             recipe and its inputs), and keeps DIR as it is
#                             until this shell ends or bench_cache_release
#   bench_cache_release       lets other runs replace DIR again
# Call bench_cache as a command of its own under set -e, so that a failing
# step of MAKE ends the run.
# Runs that use DIR hold a shared lock on DIR.lock, and the one run that makes
# it the exclusive lock: it waits until no run reads DIR, builds in DIR.new and
# renames that into place, so no run sees a half-made or changing DIR.
bench_cache_fd=""

bench_cache() {
  local dir=$1 key=$2 make=$3
  mkdir -p "$(dirname "$dir")"
  exec {bench_cache_fd}>"$dir.lock"
  while :; do
    flock -s "$bench_cache_fd"
    [ "$(cat "$dir/.key" 2>/dev/null)" = "$key" ] && return 0
    # Going from shared to exclusive lets other runs in between: look again.
    flock -x "$bench_cache_fd"
    if [ "$(cat "$dir/.key" 2>/dev/null)" != "$key" ]; then
      rm -rf "$dir.new" "$dir.old"
      mkdir -p "$dir.new"
      "$make" "$dir.new"
      echo "$key" >"$dir.new/.key"
      if [ -e "$dir" ]; then mv "$dir" "$dir.old"; fi
      mv "$dir.new" "$dir"
      rm -rf "$dir.old"
    fi
  done
}

# Processes started while the lock was held (wineserver, Xvfb, nginx) share it:
# unlocking releases it for them too, should one outlive the run.
bench_cache_release() {
  [ -z "$bench_cache_fd" ] || flock -u "$bench_cache_fd"
}
