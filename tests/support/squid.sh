#!/bin/bash
# Runs Debian's squid on 127.0.0.1:PORT, demanding Basic authentication as
# USER with PASSWORD, with its files in DIR; says "ready" once it listens and
# stops it when stopped itself.
# Usage: squid.sh DIR PORT USER PASSWORD
set -eu
dir="$1" port="$2" user="$3" password="$4"
helper=/usr/lib/squid/basic_ncsa_auth
[ -x /usr/sbin/squid ] && [ -x "$helper" ] || { echo "squid is not installed (run scripts/setup.sh)" >&2; exit 1; }
chmod 777 "$dir" # squid drops to its own user
htpasswd -b -c -d "$dir/passwd" "$user" "$password" 2>/dev/null
chmod 644 "$dir/passwd"
cat > "$dir/squid.conf" <<CONF
http_port 127.0.0.1:$port
visible_hostname skyvane-test-proxy
pid_filename $dir/squid.pid
cache_log $dir/cache.log
access_log $dir/access.log
coredump_dir $dir
cache deny all
pinger_enable off
shutdown_lifetime 0 seconds
auth_param basic program $helper $dir/passwd
auth_param basic realm skyvane-test
acl authenticated proxy_auth REQUIRED
http_access allow authenticated
http_access deny all
CONF
/usr/sbin/squid -N -f "$dir/squid.conf" &
squid=$!
trap 'kill $squid 2>/dev/null' EXIT TERM
for _ in $(seq 200); do
    (echo > "/dev/tcp/127.0.0.1/$port") 2>/dev/null && { echo ready; wait $squid; exit; }
    kill -0 $squid 2>/dev/null || exit 1
    sleep 0.1
done
exit 1
