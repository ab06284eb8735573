## Times knotspectrum against the same Gaussian gridding written in
## vectorised M-code, on the same data in one run, and prints the ratios and
## how closely the two agree (they sum in different orders, so only to
## rounding). Run from the repository root after a build:
##   octave-cli --norc --no-history --quiet bench/bench_knotspectrum.m
1;

## 0-based grid indices and closed-form weights of the 24 taps of each knot
## in the column k, on an axis of M points.
function [idx, w] = axis_taps (k, M)
  m = floor (k * M);
  f = k * M - m;
  l = (0:23) - 11;
  idx = mod (floor (M / 2) + m + l, M);
  w = exp (-pi * (f - l) .^ 2 / 16);
endfunction

function out = grid_2d_mcode (g, knots)
  M0 = rows (g);  M1 = columns (g);
  [ir, wr] = axis_taps (knots(2, :)', M0);
  [ic, wc] = axis_taps (knots(1, :)', M1);
  out = zeros (columns (knots), 1);
  for a = 1:24
    out += wc(:, a) .* sum (wr .* g(ir + 1 + ic(:, a) * M0), 2);
  endfor
endfunction

function out = grid_lines_mcode (g, knots)   # shared knots along the columns
  [idx, w] = axis_taps (knots(:), rows (g));
  out = zeros (numel (knots), columns (g));
  for t = 1:24
    out += w(:, t) .* g(idx(:, t) + 1, :);
  endfor
endfunction

function t = best_time (f, repeats)
  t = Inf;
  for r = 1:repeats
    tic;  f ();  t = min (t, toc);
  endfor
endfunction

addpath (fullfile (pwd, "build", "mex"));
rand ("seed", 42);
M = 512;
g = complex (rand (M), rand (M));

K = 200000;
knots = rand (2, K) - 0.5;
t_mex = best_time (@() knotspectrum (g, knots, -1), 3);
t_m = best_time (@() grid_2d_mcode (g, knots), 2);
d = max (abs (knotspectrum (g, knots, -1) - grid_2d_mcode (g, knots)));
printf ("2-D, %dx%d grid, %d knots: knotspectrum %.3f s (%.2g knots/s), M-code %.3f s, ratio %.1f, max difference %.1g\n", ...
        M, M, K, t_mex, K / t_mex, t_m, t_m / t_mex, d);

k = rand (1, M) - 0.5;
t_mex = best_time (@() knotspectrum (g, k, 0), 5);
t_m = best_time (@() grid_lines_mcode (g, k), 3);
d = max (max (abs (knotspectrum (g, k, 0) - grid_lines_mcode (g, k))));
printf ("lines, %dx%d grid, %d shared knots: knotspectrum %.4f s, M-code %.4f s, ratio %.1f, max difference %.1g\n", ...
        M, M, M, t_mex, t_m, t_m / t_mex, d);
