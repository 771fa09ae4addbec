#!/bin/bash
# run.sh LABEL ARGS...: calibrate (see calibrate.cpp) on the calibration set at
# 10 s with the parameters ARGS, into LABEL.txt.
CAL="ta01 ta02 ta03 ta04 ta05 ta11 ta21 ta31 ta41 la21 la24 la25 la27 la29 la38 la40 ft10"
label=$1; shift
./calibrate -s 10 "$@" $CAL > $label.txt 2>&1
