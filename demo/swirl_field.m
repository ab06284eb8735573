## sv = swirl_field (N, strength)
## An N-by-N-by-2 displacement field that turns the picture about its centre,
## most strongly near the middle.
function sv = swirl_field (N, strength)
  [C, R] = meshgrid (0:N-1, 0:N-1);
  cx = (N - 1) / 2;  cy = (N - 1) / 2;
  dx = C - cx;  dy = R - cy;
  rad = hypot (dx, dy);
  angle = strength * exp (-(rad / (0.35 * N)) .^ 2);
  ## Output pixel (r, c) pulls from the position turned back by `angle`.
  srcx = cx + cos (-angle) .* dx - sin (-angle) .* dy;
  srcy = cy + sin (-angle) .* dx + cos (-angle) .* dy;
  sv = cat (3, C - srcx, R - srcy);
endfunction
