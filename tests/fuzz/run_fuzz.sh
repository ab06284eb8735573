#!/bin/sh
# run_fuzz.sh FUZZER WORKDIR [SECONDS] [RUNS]
# A bounded, fixed-seed fuzz run of the TIFF walker from fresh seeds: a few
# hand-made files and, where the tools are installed, real TIFFs written by
# ImageMagick and marked as palette by libtiff's tiffset. Any crash, sanitizer
# report, broken write promise or input that takes over 10 s fails the run.
set -eu
fuzzer=$1
work=$2
seconds=${3:-20}
runs=${4:-1000000}

rm -rf "$work"
mkdir -p "$work/corpus" "$work/seeds"
s=$work/seeds
# II, one directory: ImageWidth 8, PhotometricInterpretation 3, next 0.
printf 'II*\000\010\000\000\000\002\000\000\001\003\000\001\000\000\000\010\000\000\000\006\001\003\000\001\000\000\000\003\000\000\000\000\000\000\000' >"$s/ii_palette"
# MM, the same directory, and a chain that points back at it.
printf 'MM\000*\000\000\000\010\000\002\001\000\000\003\000\000\000\001\000\010\000\000\001\006\000\003\000\000\000\001\000\003\000\000\000\000\000\010' >"$s/mm_loop"
# II, count 0 directory followed by a truncated one.
printf 'II*\000\010\000\000\000\000\000\016\000\000\000\005\000\006\001\003\000\001\000\000\000\003\000\000\000' >"$s/ii_truncated"
if command -v convert >/dev/null 2>&1 && command -v tiffset >/dev/null 2>&1; then
  convert -size 4x3 gradient:red-blue -depth 8 "$s/rgb_ii.tif"
  convert -size 4x3 gradient:red-blue gradient:green-white -depth 8 -define tiff:endian=msb "$s/rgb_mm.tif"
  tiffset -s 262 3 "$s/rgb_ii.tif"
  tiffset -s 262 3 "$s/rgb_mm.tif"
fi

exec "$fuzzer" -seed=1 -runs="$runs" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "$s"
