## Whole-call timing of scatter_sum against the same accumulation written
## with accumarray in M-code, on a 2048 x 2048 image and a smooth
## translation field of a few pixels, in one run.
##   octave-cli --norc --no-history --quiet bench/bench_scatter_sum.m [build-dir]
addpath (fileparts (mfilename ("fullpath")));
[img, tx, ty, C, R] = warp_bench_data (argv ());
N = rows (img);

## What a user writes instead: round() also takes halves away from zero.
function out = scatter_by_accumarray (img, tx, ty, C, R)
  [M, N] = size (img);
  cx = round (C + tx);
  ry = round (R + ty);
  keep = cx >= 0 & cx < N & ry >= 0 & ry < M;
  out = accumarray ([ry(keep) + 1, cx(keep) + 1], img(keep), [M N]);
endfunction

## The two must agree before their times mean anything; the order of the
## additions differs, so only to rounding.
ref = scatter_by_accumarray (img, tx, ty, C, R);
got = scatter_sum (img, tx, ty);
assert (got, ref, 1e-12);

t_plugin = best_of (7, @() scatter_sum (img, tx, ty));
t_create = best_of (7, @() create_output_only (img));
t_accum = best_of (3, @() scatter_by_accumarray (img, tx, ty, C, R));

mpix = N * N / 1e6;
printf ("scatter_sum          %8.4f s  %7.1f Mpix/s\n", t_plugin, mpix / t_plugin);
printf ("accumarray in M-code %8.4f s  %7.1f Mpix/s\n", t_accum, mpix / t_accum);
printf ("speed-up             %8.1fx\n", t_accum / t_plugin);
printf ("creating and returning the output alone: %.4f s, %.0f%% of the scatter_sum call\n", ...
        t_create, 100 * t_create / t_plugin);
