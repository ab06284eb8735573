## img = synthetic_image (N)
## An N-by-N test picture in [0, 1] made here: a checkerboard under a soft
## vertical gradient, with a bright disc and a dark ring, so that warps and
## resampling errors are easy to see.
function img = synthetic_image (N)
  [X, Y] = meshgrid (linspace (0, 1, N), linspace (0, 1, N));
  checks = mod (floor (8 * X) + floor (8 * Y), 2);
  img = 0.25 + 0.45 * checks .* (0.5 + 0.5 * Y);
  r = hypot (X - 0.62, Y - 0.38);
  img(r < 0.12) = 0.95;
  img(abs (r - 0.25) < 0.015) = 0.05;
endfunction
