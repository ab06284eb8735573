## Whole-call timing of chroma_unfold from Octave: 10^6 scattered colours
## against closed gamut-like meshes of 2,000 and 20,000 triangles (built like
## those of build/bench/chroma_unfold_bench, which also times the literal
## loop that cuts every triangle for every colour).
##   octave-cli --norc --no-history --quiet bench/bench_chroma_unfold.m
## from the repository root after a build, or with build/mex on the path.
1;

function mesh = gamut_mesh (rings, sectors)
  [lon, lat] = meshgrid (2 * pi * (0:sectors-1) / sectors, pi * (0:rings)' / rings);
  radius = (60 + 25 * cos (3 * lon + 0.4)) .* sin (lat) .* (1 + 0.3 * sin (lat + lon));
  L = 100 * (1 - cos (lat)) / 2 + 8 * sin (lat) .* sin (2 * lon);
  A = radius .* cos (lon);  B = radius .* sin (lon);
  A([1 end], :) = 0;  B([1 end], :) = 0;
  id = reshape (1:numel (L), rings + 1, sectors);
  nxt = id(:, [2:end 1]);
  t1 = [id(2:rings, :)(:), id(3:end, :)(:), nxt(2:rings, :)(:)];
  t2 = [nxt(1:rings-1, :)(:), id(2:rings, :)(:), nxt(2:rings, :)(:)];
  t = [t1; t2];
  t = t(randperm (rows (t)), :);
  P = [L(:) A(:) B(:)];
  mesh = [P(t(:, 1), :), P(t(:, 2), :), P(t(:, 3), :), zeros(rows (t), 5)]';
endfunction

if (isempty (which ("chroma_unfold")))
  addpath (fullfile (pwd, "build", "mex"));
endif
rand ("seed", 5);
n = 1e6;
x = 100 * rand (n, 1);  a = 160 * rand (n, 1) - 80;  b = 160 * rand (n, 1) - 80;
pL = 55 * ones (n, 1);  pC = 90 * ones (n, 1);  tL = 100 * ones (n, 1);  bL = zeros (n, 1);
for shape = [21 50; 101 100]'
  mesh = gamut_mesh (shape(1), shape(2));
  K = columns (mesh);
  tic;  out = chroma_unfold (x, a, b, mesh, pL, pC, tL, bL);  t = toc;
  printf ("%6d triangles: %d colours in %.3f s, %.3g colours/s\n", K, n, t, n / t);
endfor
