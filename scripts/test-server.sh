#!/usr/bin/env bash
# A PostgreSQL server of the tests' own: made in DIR, listening only on a Unix
# socket in DIR/socket (no TCP port), run as a user that is not root (the
# server refuses root: as root it runs as the package's "postgres" user).
#
#   test-server.sh start DIR   makes the cluster if DIR has none, starts it and
#                              makes the role and database "fundora_test"
#   test-server.sh restart DIR restarts it: every connection is cut
#   test-server.sh stop DIR    stops it (fast shutdown) and removes DIR
#   test-server.sh uri DIR     prints the connection URI the tests use
#
# Debian's postgresql-15 is installed when missing (apt-get, as root).
set -euo pipefail
action=${1:?start, stop or uri}
dir=${2:?the directory of the server}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
socket="$dir/socket"
port=54315 # only names the socket file (.s.PGSQL.54315); nothing listens on TCP
bin=/usr/lib/postgresql/15/bin

make_role="DO \$\$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'fundora_test') THEN CREATE ROLE fundora_test LOGIN; END IF; END \$\$"
# A role that must give its password (scram-sha-256), for the tests of asking for one.
make_password_role="DO \$\$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'fundora_password') THEN CREATE ROLE fundora_password LOGIN PASSWORD 'right horse battery'; END IF; END \$\$"
make_database="SELECT 1" # replaced below when the database is missing

uri() { echo "postgresql:///fundora_test?host=$socket&port=$port&user=fundora_test"; }

as_server_user() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

case "$action" in
uri)
    uri
    ;;
start)
    if [ ! -x "$bin/pg_ctl" ]; then
        FUNDORA_ROOT=$(cd "$(dirname "$0")/.." && pwd)
        source "$FUNDORA_ROOT/scripts/packages.sh"
        ensure_packages postgresql-15
    fi
    mkdir -p "$socket"
    [ "$(id -u)" -eq 0 ] && chown -R postgres: "$dir"
    chmod 0700 "$dir"
    if [ ! -f "$dir/data/PG_VERSION" ]; then
        as_server_user "$bin/initdb" -D "$dir/data" -U postgres --auth=trust --no-sync -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log"
        # Every role is trusted on the socket but the one that must give its password.
        sed -i '1i local all fundora_password scram-sha-256' "$dir/data/pg_hba.conf"
    fi
    # fsync off: the cluster lives as long as the test run; nothing in it must survive a crash of the machine.
    # The benchmarks compare it with files that are synced, so they keep it on (FUNDORA_SERVER_FSYNC=on).
    if ! as_server_user "$bin/pg_ctl" -D "$dir/data" status >/dev/null; then
        as_server_user "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
            -o "-k $socket -p $port -c listen_addresses='' -c fsync=${FUNDORA_SERVER_FSYNC:-off} -c max_connections=200" start >/dev/null
    fi
    if ! as_server_user "$bin/psql" -qtA -h "$socket" -p "$port" -U postgres -d postgres -c "SELECT 1 FROM pg_database WHERE datname = 'fundora_test'" | grep -q 1; then
        make_database="CREATE DATABASE fundora_test OWNER fundora_test"
    fi
    as_server_user "$bin/psql" -q -h "$socket" -p "$port" -U postgres -d postgres -v ON_ERROR_STOP=1 -c "$make_role" -c "$make_password_role" -c "$make_database" >/dev/null
    uri
    ;;
restart)
    as_server_user "$bin/pg_ctl" -D "$dir/data" -m fast -w restart >/dev/null
    ;;
stop)
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_server_user "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null || true
    fi
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop|uri DIR" >&2
    exit 2
    ;;
esac
