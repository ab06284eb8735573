## Lightness mapping of one hue slice onto the sRGB gamut.
## The gamut surface is the sRGB cube's faces, triangulated and taken to
## CIELAB. Left: the source triangle at hue 40 degrees filled with its
## colours. Right: the same colours at their mapped lightness, which fills
## the sRGB gamut's slice at that hue; the black outline is where the source
## triangle's edges land.
function demo_chroma_unfold (outdir)
  mesh = srgb_gamut_mesh (12);
  hue = 40 * pi / 180;
  pivot_L = 50;  pivot_C = 100;  top_L = 100;  bottom_L = 0;

  ## Canvas of chroma 0..130 by lightness 0..100, 2 pixels per unit.
  scale = 2;  W = 130 * scale;  H = 100 * scale;
  before = ones (H, W, 3);  after = ones (H, W, 3);

  ## Source-triangle colours, sampled twice as densely as the canvas.
  [C, L] = meshgrid ((0.5:2*W) / (2 * scale), (0.5:2*H) / (2 * scale));
  E_top = top_L + C * (pivot_L - top_L) / pivot_C;
  E_bottom = bottom_L + C * (pivot_L - bottom_L) / pivot_C;
  inside = C <= pivot_C & L <= E_top & L >= E_bottom;
  C = C(inside);  L = L(inside);
  a = C * cos (hue);  b = C * sin (hue);
  n = numel (L);
  mapped = chroma_unfold (L, a, b, mesh, pivot_L * ones (n, 1), pivot_C * ones (n, 1), ...
                          top_L * ones (n, 1), bottom_L * ones (n, 1));
  before = paint (before, C, L, lab_to_srgb ([L a b]), scale);
  after = paint (after, C, mapped, lab_to_srgb ([mapped a b]), scale);

  ## Outlines: the source triangle, and the images of its two edges.
  t = linspace (0, 1, 4000)';
  edge_C = [t; t] * pivot_C;
  edge_L = [top_L + t * (pivot_L - top_L); bottom_L + t * (pivot_L - bottom_L)];
  m = numel (edge_C);
  edge_mapped = chroma_unfold (edge_L, edge_C * cos (hue), edge_C * sin (hue), mesh, ...
                               pivot_L * ones (m, 1), pivot_C * ones (m, 1), ...
                               top_L * ones (m, 1), bottom_L * ones (m, 1));
  before = paint (before, edge_C, edge_L, zeros (m, 3), scale);
  after = paint (after, edge_C, edge_mapped, zeros (m, 3), scale);

  gap = ones (H, 8, 3);
  imwrite ([before gap after], fullfile (outdir, "chroma_unfold_slice.png"));
  printf ("chroma_unfold: %d source colours at hue 40 deg mapped onto a %d-triangle sRGB gamut mesh\n", ...
          n, columns (mesh));
  printf ("  source lightness [%.1f, %.1f] -> mapped [%.1f, %.1f]; mesh top at chroma 0: %.1f\n", ...
          min (L), max (L), min (mapped), max (mapped), edge_mapped(1));
  printf ("  wrote chroma_unfold_slice.png (left: source triangle, right: mapped onto the gamut)\n");
endfunction

## Sets canvas pixels at (chroma C, lightness L) to the rows of rgb.
function img = paint (img, C, L, rgb, scale)
  [H, W, ~] = size (img);
  col = floor (C * scale) + 1;
  row = H - floor (L * scale);
  ok = isfinite (col) & isfinite (row) & col >= 1 & col <= W & row >= 1 & row <= H;
  idx = sub2ind ([H W], row(ok), col(ok));
  for k = 1:3
    plane = img(:, :, k);
    plane(idx) = rgb(ok, k);
    img(:, :, k) = plane;
  endfor
endfunction

## The six faces of the RGB cube, each split into n x n squares of two
## triangles, with vertices taken to CIELAB: one triangle per column.
function mesh = srgb_gamut_mesh (n)
  [u, v] = meshgrid ((0:n) / n);
  tris = [];
  for axis = 1:3
    for level = [0 1]
      P = zeros (numel (u), 3);
      others = setdiff (1:3, axis);
      P(:, axis) = level;
      P(:, others(1)) = u(:);
      P(:, others(2)) = v(:);
      lab = srgb_to_lab (P);
      id = reshape (1:numel (u), n + 1, n + 1);
      q00 = id(1:n, 1:n)(:);  q10 = id(2:end, 1:n)(:);
      q01 = id(1:n, 2:end)(:);  q11 = id(2:end, 2:end)(:);
      for t = {[q00 q10 q11], [q00 q11 q01]}
        T = t{1};
        tris = [tris; lab(T(:, 1), :), lab(T(:, 2), :), lab(T(:, 3), :)];
      endfor
    endfor
  endfor
  mesh = [tris zeros(rows (tris), 5)]';
endfunction

function lab = srgb_to_lab (rgb)
  lin = rgb / 12.92;
  hi = rgb > 0.04045;
  lin(hi) = ((rgb(hi) + 0.055) / 1.055) .^ 2.4;
  M = [0.4124 0.3576 0.1805; 0.2126 0.7152 0.0722; 0.0193 0.1192 0.9505];
  xyz = (lin * M') ./ [0.95047 1 1.08883];
  f = xyz .^ (1/3);
  lo = xyz <= (6/29)^3;
  f(lo) = xyz(lo) / (3 * (6/29)^2) + 4/29;
  lab = [116 * f(:, 2) - 16, 500 * (f(:, 1) - f(:, 2)), 200 * (f(:, 2) - f(:, 3))];
endfunction

function rgb = lab_to_srgb (lab)
  fy = (lab(:, 1) + 16) / 116;
  f = [fy + lab(:, 2) / 500, fy, fy - lab(:, 3) / 200];
  xyz = f .^ 3;
  lo = f <= 6/29;
  xyz(lo) = 3 * (6/29)^2 * (f(lo) - 4/29);
  xyz = xyz .* [0.95047 1 1.08883];
  M = [3.2406 -1.5372 -0.4986; -0.9689 1.8758 0.0415; 0.0557 -0.2040 1.0570];
  lin = xyz * M';
  rgb = 12.92 * lin;
  hi = lin > 0.0031308;
  rgb(hi) = 1.055 * lin(hi) .^ (1 / 2.4) - 0.055;
  rgb = min (max (rgb, 0), 1);
  rgb(! isfinite (rgb)) = 0;
endfunction
