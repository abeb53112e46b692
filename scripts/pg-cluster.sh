#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests and benchmarks.
#   scripts/pg-cluster.sh start DIR   initdb into DIR (created), start the server with its socket
#                                     in DIR on a free port; prints the URI of its database
#   scripts/pg-cluster.sh stop DIR    stops the server and removes DIR
# The role "pelorin" may do everything without a password; the role "pelorin_pw" needs the
# password "right-password" (the tests use it to check that a wrong one is refused).
set -euo pipefail
bin=/usr/lib/postgresql/15/bin
action=${1:?start or stop}
dir=${2:?folder}

# The server refuses to run as root: then it runs as "postgres" (the package's user), else as
# "nobody".
server_user=postgres
id -u postgres >/dev/null 2>&1 || server_user=nobody
as_server() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u "$server_user" -- "$@"
    else
        "$@"
    fi
}

case "$action" in
start)
    [ -x "$bin/initdb" ] || { echo "pg-cluster: no PostgreSQL 15 in $bin" >&2; exit 1; }
    mkdir -p "$dir"
    [ "$(id -u)" -ne 0 ] || chown "$server_user" "$dir"
    as_server "$bin/initdb" -D "$dir/data" -U pelorin --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
        { cat "$dir/initdb.log" >&2; exit 1; }
    printf 'local all pelorin_pw scram-sha-256\nlocal all all trust\n' | as_server tee "$dir/data/pg_hba.conf" >/dev/null
    # No TCP listener: the port only names the socket in DIR, which no other server uses.
    port=$((20000 + RANDOM % 40000))
    as_server "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses='' -c unix_socket_directories='$dir' -p $port -c max_connections=200" start >/dev/null ||
        { cat "$dir/server.log" >&2; exit 1; }
    as_server "$bin/psql" -q -h "$dir" -p "$port" -U pelorin -d postgres \
        -c "CREATE ROLE pelorin_pw LOGIN CREATEDB PASSWORD 'right-password'" >/dev/null
    echo "postgresql://pelorin@/postgres?host=$dir&port=$port"
    ;;
stop)
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_server "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
*)
    echo "pg-cluster: start or stop" >&2
    exit 2
    ;;
esac
