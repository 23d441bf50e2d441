#!/bin/sh
# Makes the test certificates again: a certificate authority the tests trust,
# a server certificate it signed for 127.0.0.1 and localhost, and a
# self-signed one for another host. All are valid from 2000 to 2099, so the
# tests pass on any day (faketime dates them back).
set -eu
cd "$(dirname "$0")"
at="faketime 2000-01-02"
$at openssl req -x509 -newkey rsa:2048 -nodes -keyout selfsigned.key -out selfsigned.crt \
    -days 36500 -subj "/CN=wrong.example" -addext "subjectAltName=DNS:wrong.example"
$at openssl req -x509 -newkey rsa:2048 -nodes -keyout testca.key -out testca.crt -days 36500 \
    -subj "/CN=Skyvane Test CA" -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign"
$at openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=127.0.0.1"
printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' >ext.cnf
$at openssl x509 -req -in server.csr -CA testca.crt -CAkey testca.key -CAcreateserial \
    -out server.crt -days 36500 -extfile ext.cnf
rm -f server.csr ext.cnf testca.srl testca.key
