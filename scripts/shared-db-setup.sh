#!/usr/bin/env bash
# Sets up the shop's shared history and address book on this Debian machine:
# installs PostgreSQL, makes a database and a login role for the packing
# stations, lets the shop's network reach it (pg_hba.conf, password login),
# creates the schema with vamu_pelican_cli server init, grants the role its
# rows, and prints the connection string to type into each station's
# 共有データベース dialog. Run as root (or with sudo); safe to run again.
#   scripts/shared-db-setup.sh [NETWORK]   e.g. 192.168.1.0/24 (default: this host's network)
set -euo pipefail
DB=vamu_pelican
ROLE=vamu_station
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
cli=$(command -v vamu_pelican_cli || true)
[ -n "$cli" ] || cli="$(dirname "$0")/../build/release/tools/vamu_pelican_cli"
[ -x "$cli" ] || { echo "vamu_pelican_cli not found: install the package or run scripts/run.sh first" >&2; exit 1; }

network=${1:-$(ip -o -f inet route show scope link | awk 'NR==1 {print $1}')}
case $network in
  */*) ;;
  *) echo "usage: $0 [NETWORK/PREFIX]   (no network found; give one, e.g. 192.168.1.0/24)" >&2; exit 2 ;;
esac

DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends postgresql
as_postgres() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else sudo -u postgres "$@"; fi; }
psql_admin() { as_postgres psql -v ON_ERROR_STOP=1 -qAt "$@"; }

# The role and the database, unless they are there already.
if [ "$(psql_admin -c "SELECT 1 FROM pg_roles WHERE rolname = '$ROLE'")" != 1 ]; then
  password=$(head -c 18 /dev/urandom | base64 | tr -d '/+=')
  psql_admin -c "CREATE ROLE $ROLE LOGIN PASSWORD '$password'"
  new_password=$password
fi
if [ "$(psql_admin -c "SELECT 1 FROM pg_database WHERE datname = '$DB'")" != 1 ]; then
  psql_admin -c "CREATE DATABASE $DB ENCODING 'UTF8' LOCALE 'C.UTF-8' TEMPLATE template0"
fi

# Listen on the network, and let the stations in with their password.
conf_dir=$(psql_admin -c 'SHOW config_file' | xargs dirname)
hba=$conf_dir/pg_hba.conf
line="host $DB $ROLE $network scram-sha-256"
grep -qxF "$line" "$hba" || echo "$line" | $SUDO tee -a "$hba" >/dev/null
echo "listen_addresses = '*'" | $SUDO tee "$conf_dir/conf.d/vamu_pelican.conf" >/dev/null
$SUDO systemctl restart postgresql

# The schema (as its owner) and the stations' rights.
as_postgres "$cli" server init "dbname=$DB" --role "$ROLE" | grep -v '^--' | psql_admin -d "$DB"

host=$(hostname -I | awk '{print $1}')
echo
echo "各ステーションの「共有データベース」に入力する接続文字列 / connection string for each station:"
echo "  host=$host dbname=$DB user=$ROLE"
if [ -n "${new_password:-}" ]; then
  echo "パスワード / password (each station's ~/.pgpass, mode 600, one line):"
  echo "  $host:5432:$DB:$ROLE:$new_password"
fi
echo "別の建物やインターネット越しに使うときは TLS を設定し、sslmode=verify-full を付けて下さい。"
