#!/bin/sh
# Starts (or stops) private CUPS schedulers for the printing tests:
#   main/  queues Wb203 (203 dpi), Wb300Reject (not accepting jobs) and
#          Wb360 (360 dpi, default) printing into capture/ through the
#          capture backend;
#   empty/ a scheduler without any queue.
# Each listens on a domain socket only: <dir>/<name>/cups.sock.
# When cupsd cannot start, <dir>/unavailable says why and the tests skip.
# The test PPDs declare *cupsFilter2: "application/pdf application/vnd.cups-pdf
# 0 -": with CUPS 2.4 the submitted PDF then reaches the backend byte for
# byte (no pdftopdf), so the tests read exactly what the program sent.
set -u
cmd=$1
base=$2
here=$(cd "$(dirname "$0")" && pwd)

stop_one() {
    if [ -f "$1/cupsd.pid" ]; then
        pid=$(cat "$1/cupsd.pid")
        kill "$pid" 2>/dev/null
        i=0
        while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
        rm -f "$1/cupsd.pid"
    fi
}

if [ "$cmd" = stop ]; then
    stop_one "$base/main"
    stop_one "$base/empty"
    exit 0
fi

unavailable() {
    echo "$1" > "$base/unavailable"
    echo "CUPS tests will be skipped: $1"
    exit 0
}

stop_one "$base/main" 2>/dev/null
stop_one "$base/empty" 2>/dev/null
rm -rf "$base"
mkdir -p "$base"
chmod 755 "$base"
command -v cupsd >/dev/null || unavailable "cupsd is not installed"
command -v lpadmin >/dev/null || unavailable "lpadmin is not installed"

start_one() {
    d=$base/$1
    mkdir -p "$d/etc/ppd" "$d/spool/tmp" "$d/cache" "$d/state" "$d/log" "$d/serverbin/backend"
    chmod -R 755 "$d"
    chmod 1777 "$d/spool/tmp"
    # Filters and helpers from the system; the backend is ours.
    for sub in filter daemon cgi-bin monitor notifier driver; do
        ln -s "/usr/lib/cups/$sub" "$d/serverbin/$sub"
    done
    install -m 0700 "$here/capture_backend.sh" "$d/serverbin/backend/capture"
    cat > "$d/etc/cupsd.conf" <<CONF
Listen $d/cups.sock
LogLevel warn
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
DefaultAuthType None
PreserveJobHistory No
MaxJobs 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
CONF
    cat > "$d/etc/cups-files.conf" <<CONF
ServerRoot $d/etc
RequestRoot $d/spool
TempDir $d/spool/tmp
CacheDir $d/cache
StateDir $d/state
ServerBin $d/serverbin
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
AccessLog $d/log/access_log
ErrorLog $d/log/error_log
PageLog $d/log/page_log
FileDevice Yes
Sandboxing Relaxed
CONF
    : > "$d/etc/client.conf"
    cupsd -f -c "$d/etc/cupsd.conf" -s "$d/etc/cups-files.conf" > "$d/log/stdout" 2>&1 &
    echo $! > "$d/cupsd.pid"
    i=0
    until lpstat -h "$d/cups.sock" -r 2>/dev/null | grep -q "is running"; do
        i=$((i + 1))
        if [ $i -gt 100 ] || ! kill -0 "$(cat "$d/cupsd.pid")" 2>/dev/null; then
            unavailable "cupsd did not start ($(tail -3 "$d/log/error_log" "$d/log/stdout" 2>/dev/null | tr '\n' ' '))"
        fi
        sleep 0.1
    done
}

start_one main
start_one empty
m=$base/main
mkdir -p "$base/capture"
chmod 1777 "$base/capture"
add() {
    lpadmin -h "$m/cups.sock" -p "$1" -E -v "capture:$base/capture" -P "$here/ppd/$2" ||
        unavailable "lpadmin could not create $1"
}
add Wb203 wb203.ppd
add Wb300Reject wb360.ppd
add Wb360 wb360.ppd
cupsreject -h "$m/cups.sock" Wb300Reject || unavailable "cupsreject failed"
lpadmin -h "$m/cups.sock" -d Wb360 || unavailable "lpadmin -d failed"
echo "CUPS schedulers ready under $base"
exit 0
