#!/usr/bin/env bash
# Starts a private CUPS server with one PDF queue ("TessaryPDF", made the default) for the
# printing tests, and stops it again. Nothing of the system's CUPS is touched: the server
# listens on its own socket only, keeps its files in a folder of its own and writes its
# output to a log there.
#
#   source scripts/printqueue.sh; start_print_queue; ...; stop_print_queue
# start_print_queue exports CUPS_SERVER (the socket) and TESSARY_PRINT_OUTPUT (the folder
# the queue writes its PDF files into) for the tests.

start_print_queue() {
  TESSARY_CUPS_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tessary-cups.XXXXXX")
  local d=$TESSARY_CUPS_DIR
  mkdir -p "$d/root/ppd" "$d/spool" "$d/cache" "$d/state" "$d/log"
  cat > "$d/cupsd.conf" <<CONF
Listen $d/cups.sock
LogLevel warn
WebInterface No
Browsing No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cat > "$d/cups-files.conf" <<CONF
ServerRoot $d/root
RequestRoot $d/spool
CacheDir $d/cache
StateDir $d/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
ErrorLog $d/log/error_log
AccessLog $d/log/access_log
PageLog $d/log/page_log
Sandboxing Relaxed
CONF
  local SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO /usr/sbin/cupsd -f -c "$d/cupsd.conf" -s "$d/cups-files.conf" > "$d/log/cupsd.out" 2>&1 &
  TESSARY_CUPS_PID=$!
  export CUPS_SERVER="$d/cups.sock"
  for _ in $(seq 1 50); do
    [ -S "$CUPS_SERVER" ] && break
    sleep 0.2
  done
  if ! [ -S "$CUPS_SERVER" ]; then
    echo "printqueue: cupsd did not start; see $d/log" >&2
    return 1
  fi
  $SUDO chmod 777 "$d" "$CUPS_SERVER" 2>/dev/null || true
  if ! lpadmin -p TessaryPDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd 2>/dev/null \
      || ! lpadmin -d TessaryPDF; then
    echo "printqueue: could not add the PDF queue; see $d/log" >&2
    return 1
  fi
  # cups-pdf writes into the job owner's ~/PDF (its configuration's "Out"): the home
  # folder of the account, whatever HOME says (it may be unset or elsewhere in CI).
  local home
  home=$(getent passwd "$(id -un)" | cut -d: -f6)
  export TESSARY_PRINT_OUTPUT="${home:-${HOME:-/root}}/PDF"
  echo "printqueue: PDF queue TessaryPDF on $CUPS_SERVER"
}

stop_print_queue() {
  if [ -n "${TESSARY_CUPS_PID:-}" ]; then
    kill "$TESSARY_CUPS_PID" 2>/dev/null || sudo kill "$TESSARY_CUPS_PID" 2>/dev/null || true
    wait "$TESSARY_CUPS_PID" 2>/dev/null || true
    TESSARY_CUPS_PID=""
  fi
  [ -n "${TESSARY_CUPS_DIR:-}" ] && rm -rf "$TESSARY_CUPS_DIR"
  TESSARY_CUPS_DIR=""
}
