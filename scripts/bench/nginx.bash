# Sourced by the benchmarks that download (not a benchmark itself): nginx
# serving a folder on a loopback port, and Wine's name for a Unix path.
#   bench_nginx_start ROOT WORK FILE  serves ROOT, readable by nginx's unprivileged
#                                     workers (its configuration and log in
#                                     WORK/nginx) and waits until FILE is
#                                     served; sets bench_url to FILE's address
#   bench_nginx_stop                  stops it (harmless when not started)
bench_nginx_pid=""

bench_nginx_start() {
  local root=$1 work=$2 file=$3 port _
  mkdir -p "$work/nginx"
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  cat >"$work/nginx/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 64; }
http {
  access_log off;
  sendfile on;
  client_body_temp_path $work/nginx/body;
  proxy_temp_path $work/nginx/proxy;
  fastcgi_temp_path $work/nginx/fastcgi;
  uwsgi_temp_path $work/nginx/uwsgi;
  scgi_temp_path $work/nginx/scgi;
  server {
    listen 127.0.0.1:$port;
    root $root;
  }
}
CONF
  nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" &
  bench_nginx_pid=$!
  bench_url="http://127.0.0.1:$port/$file"
  for _ in $(seq 100); do
    curl -sf -r 0-0 -o /dev/null "$bench_url" && return 0
    sleep 0.05
  done
  echo "bench: nginx does not serve $bench_url" >&2
  cat "$work/nginx/error.log" >&2 || true
  return 1
}

bench_nginx_stop() {
  if [ -n "$bench_nginx_pid" ] && kill -0 "$bench_nginx_pid" 2>/dev/null; then
    kill "$bench_nginx_pid"
    wait "$bench_nginx_pid" 2>/dev/null || true
  fi
}

# Wine tells the Windows path of a Unix file by its Z: drive.
winpath() { echo "Z:${1//\//\\}"; }
