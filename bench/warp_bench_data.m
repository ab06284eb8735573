## [img, dx, dy, C, R] = warp_bench_data (ARGS)
## Puts the plug-ins of the build folder named in ARGS (default "build") on
## the path, and makes the data the warp benchmarks share: a seeded random
## 2048 x 2048 image, a smooth field of about 3 pixels along columns (dx) and
## rows (dy), and the 0-based column and row index grids C and R.
function [img, dx, dy, C, R] = warp_bench_data (args)
  build = "build";
  if (! isempty (args))
    build = args{1};
  endif
  addpath (fullfile (build, "mex"));
  addpath (fullfile (build, "bench"));
  N = 2048;
  rand ("seed", 7);
  img = rand (N);
  [C, R] = meshgrid (0:N-1, 0:N-1);
  a = rand (1, 6);
  dx = 3 * sin (2 * pi * (a(1) * R + a(2) * C) / N + a(3));
  dy = 3 * cos (2 * pi * (a(4) * R + a(5) * C) / N + a(6));
endfunction
