#!/usr/bin/env bash
# Makes the PDF printer ready for the print tests: cups-pdf writes into one fixed
# folder, cupsd runs, and the queue "PDF" exists and is the default. Safe to call
# again and again; when everything is up it only asks lpstat and returns.
#   cups-start.sh        prints the folder where the PDFs land
set -uo pipefail
out=/var/spool/cups-pdf/out
conf=/etc/cups/cups-pdf.conf
queue=PDF
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

if [ ! -f "$conf" ] || [ ! -x /usr/sbin/cupsd ]; then
  echo "cups-start: cups or cups-pdf is not installed (scripts/install-deps.sh installs them)" >&2
  exit 1
fi

# cups-pdf's default folder is the user's home; the tests look in one fixed place
if ! grep -qx "Out $out" "$conf"; then
  sed -i "s|^#\?Out .*|Out $out|" "$conf"
fi
mkdir -p /run/cups "$out"

# lpstat -r exits 0 even when the scheduler is down: only its text tells
running() { lpstat -r 2>/dev/null | grep -q 'is running'; }
if ! running; then
  /usr/sbin/cupsd
  for _ in $(seq 50); do running && break; sleep 0.1; done
  running || { echo "cups-start: cupsd did not start" >&2; exit 1; }
fi

# without these two options the file name gets a job suffix: with them it is the
# document name with blanks turned into underscores
if ! lpstat -v "$queue" >/dev/null 2>&1; then
  lpadmin -p "$queue" -v cups-pdf:/ -E -P "$ppd" -o Label-default=0 -o TitlePref-default=1 2>/dev/null ||
    { echo "cups-start: the queue $queue could not be made" >&2; exit 1; }
fi
# a queue stopped by an earlier failed job holds every later one
if lpstat -p "$queue" 2>/dev/null | grep -q disabled; then
  cupsenable "$queue"; cupsaccept "$queue"
fi
if ! lpstat -d 2>/dev/null | grep -q "destination: $queue\$"; then
  lpadmin -d "$queue"
fi
echo "$out"
