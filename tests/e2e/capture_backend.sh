#!/bin/sh
# CUPS backend for the tests: stores each job's document, title and options
# in the folder named by the device URI (capture:/folder).
umask 022
if [ $# -eq 0 ]; then
    echo 'direct capture "Unknown" "Test capture backend"'
    exit 0
fi
dir=${DEVICE_URI#capture:}
out="$dir/job-$1"
printf '%s' "$3" > "$out.title.tmp"
printf '%s' "$5" > "$out.options.tmp"
if [ -n "$6" ]; then cat "$6" > "$out.pdf.tmp"; else cat > "$out.pdf.tmp"; fi
printf '%s' "$PRINTER" > "$out.queue.tmp"
# Renames last, so a reader never sees half a job.
for f in pdf title options queue; do mv "$out.$f.tmp" "$out.$f"; done
exit 0
