#!/bin/sh
# Runs the NWChem calculations named on the command line one after the
# other, one process each, in scratch folders; the outputs land here.
export OMP_NUM_THREADS=1
here=$(pwd)
for x in "$@"; do
  mkdir -p /tmp/nwscratch_conf/$x
  ( cd /tmp/nwscratch_conf/$x && cp "$here/$x.nw" . && \
    mpirun --allow-run-as-root -np 1 nwchem $x.nw > "$here/$x.out" 2> "$here/$x.err" )
done
