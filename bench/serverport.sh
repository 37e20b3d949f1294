# Sourced by the benchmarks that start vexlo-server.
# server_port OUT PID: the port once the server's output file OUT says it
# listens; empty when it has not within 10 s, or when process PID ended first.
server_port() {
  local out=$1 pid=$2 port=
  for _ in $(seq 200); do
    port=$(sed -n 's/^listening on port \([0-9]*\)$/\1/p' "$out")
    [ -n "$port" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "$port"
}
