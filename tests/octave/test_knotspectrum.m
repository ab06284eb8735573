## Host-level tests of the knotspectrum plug-in.

%!shared img, k2
%! img = reshape (1:64*10, 64, 10) / 100;
%! k2 = [0.1 -0.2 0.3; 0.05 0.4 -0.45];

%!test
%! ## Messages in order of precedence: each row breaks only its own check
%! ## (and those after it, to show which one wins).
%! cases = {
%!   "Usage: knotspectrum(in,knots,dim).", {img, k2};
%!   "Usage: knotspectrum(in,knots,dim).", {img, k2, -1, 1};
%!   "Usage: knotspectrum(in,knots,dim).", {};
%!   "Image of unexpected data type.", {single(img), k2, -1};
%!   "Image of unexpected data type.", {int16(img), single(k2), -1};
%!   "Image of unexpected data type.", {true(4, 4), k2, -1};
%!   "Image of unexpected data type.", {"abcd", k2, -1};
%!   "Image of unexpected data type.", {{1}, k2, -1};
%!   "Input image must be 2d", {zeros(4, 4, 2), single(k2), -1};
%!   "Knots matrix needs to be doubles.", {img, single(k2), [0 1]};
%!   "Knots matrix needs to be doubles.", {img, int32(k2), -1};
%!   "Knots matrix must be 2d", {img, zeros(2, 3, 2), [0 1]};
%!   "dim must be a scalar.", {img, k2, [0 1]};
%!   "dim must be a scalar.", {img, k2, int32([0 1])};
%!   "dim must be a scalar.", {img, k2, []};
%!   "dim needs to be of type double.", {img, k2, int32(0)};
%!   "dim needs to be of type double.", {img, k2, single(-1)};
%!   "dim needs to be of type double.", {img, k2, true};
%!   "knotspectrum needs full arrays: convert sparse input with full().", {sparse(img), k2, -1};
%!   "knotspectrum needs full arrays: convert sparse input with full().", {img, sparse(k2), -1};
%!   "knotspectrum needs full arrays: convert sparse input with full().", {img, k2, sparse(-1)};
%!   "dim must be -1, 0 or 1.", {img, k2, NaN};
%!   "dim must be -1, 0 or 1.", {img, k2, 2};
%!   "dim must be -1, 0 or 1.", {img, k2, -2};
%!   "dim must be -1, 0 or 1.", {img, k2, 2^31};
%!   "dim must be -1, 0 or 1.", {img, k2, -1e300};
%!   "dim must be -1, 0 or 1.", {img, k2, Inf};
%!   "dim must be -1, 0 or 1.", {img, ones(5, 9), -Inf};
%!   "Knots matrix must be 2xN", {img, ones(3, 4), -1};
%!   "Knots matrix must be 2xN", {img, ones(1, 2), -1};
%!   "Knots matrix must be 2xN", {img, zeros(0, 2), -1.5};
%!   "size of image and knots array does not match on linked dimension", {img, ones(5, 9), 0};
%!   "size of image and knots array does not match on linked dimension", {img, zeros(0, 0), 0};
%!   "size of image and knots array does not match on linked dimension", {img.', ones(9, 5), 1};
%!   "size of image and knots array does not match on linked dimension", {img, ones(5, 10), 1};
%!   "Result too large: it must have fewer than 2^31 elements.", {zeros(1, 40000), zeros(1, 60000), 0};
%! };
%! for k = 1:rows (cases)
%!   assert_error (cases{k, 1}, @knotspectrum, cases{k, 2}{:});
%! endfor

%!test
%! ## Two requested outputs fail before any argument is inspected.
%! try
%!   [a, b] = knotspectrum (single (img), {}, "x");
%!   error ("no error");
%! catch err
%!   assert (err.message, "knotspectrum: Too many output arguments");
%! end_try_catch

%!test
%! ## Result shapes: image size, knots size, dim, result size.
%! cases = {
%!   [64 10], [5 10], 0, [5 10];    # a line of knots per column
%!   [64 10], [5 1], 0, [5 10];     # shared column of knots
%!   [64 10], [1 5], 0, [5 10];     # shared row of knots
%!   [64 10], [1 10], 0, [10 10];   # one row is shared even when it matches the lines
%!   [64 10], [1 1], 0, [1 10];
%!   [64 10], [1 0], 0, [0 10];
%!   [10 64], [10 5], 1, [10 5];    # a line of knots per row
%!   [10 64], [1 5], 1, [10 5];
%!   [10 64], [5 1], 1, [10 5];
%!   [64 10], [2 7], -1, [7 1];
%!   [64 10], [2 0], -1, [0 1];
%!   [0 10], [2 3], -1, [3 1];
%!   [0 10], [4 10], 0, [4 10];
%!   [10 0], [1 3], 1, [10 3];
%! };
%! for k = 1:rows (cases)
%!   out = knotspectrum (ones (cases{k, 1}), 0.1 * ones (cases{k, 2}), cases{k, 3});
%!   assert (isequal (size (out), cases{k, 4}), sprintf ("case %d: %dx%d", k, size (out)));
%!   assert (class (out), "double");
%! endfor

%!test
%! ## dim is truncated toward zero: 0.9 and -0.5 act as 0, -1.5 as -1, 1.9 as 1.
%! k = [0.1 -0.2 0.3 0.45 0];
%! assert (knotspectrum (img, k, 0.9), knotspectrum (img, k, 0));
%! assert (knotspectrum (img, k, -0.5), knotspectrum (img, k, 0));
%! assert (knotspectrum (img, k2, -1.5), knotspectrum (img, k2, -1));
%! assert (knotspectrum (img.', k, 1.9), knotspectrum (img.', k, 1));
%! ## Imaginary parts of knots and dim are ignored.
%! assert (knotspectrum (img, complex (k2, 1), complex (-1, 5)), knotspectrum (img, k2, -1));

%!test
%! ## A grid of ones: 16 per knot in 2-D and 4 per element along a line,
%! ## square or not.
%! for s = {[16 16], [8 40], [33 16]}
%!   g = ones (s{1});
%!   k = rand (2, 20);
%!   assert (knotspectrum (g, k, -1), 16 * ones (20, 1), 1e-11);
%!   assert (knotspectrum (g, k(1, :), 0), 4 * ones (20, s{1}(2)), 1e-12);
%!   assert (knotspectrum (g, k(1, :), 1), 4 * ones (s{1}(1), 20), 1e-12);
%! endfor

%!test
%! ## Knot 0.25 on 16 points sits on 0-based index 12: its own weight is
%! ## exactly 1, the neighbours get exp(-pi/16) and exp(-pi/4).
%! w = zeros (1, 5);
%! for idx = 10:14
%!   line = zeros (16, 1);
%!   line(idx + 1) = 1;
%!   w(idx - 9) = knotspectrum (line, 0.25, 0);
%! endfor
%! assert (w(3), 1);
%! assert (w, [0.4559381277659962 0.8217249580338772 1 0.8217249580338772 0.4559381277659962], 2e-16);
%! ## A unit impulse at floor(M/2) gives exactly 1 at knot 0, in 2-D too.
%! g = zeros (30, 25);
%! g(16, 13) = 1;
%! assert (knotspectrum (g, [0; 0], -1), 1);
%! assert (knotspectrum (g(:, 13), 0, 0), 1);

%!test
%! ## Complex grids keep their imaginary part; real grids give exactly zero
%! ## imaginary parts (this host hands a complex result with all-zero
%! ## imaginary part back as real).
%! g = rand (20, 30);
%! out = knotspectrum (g, rand (2, 9) - 0.5, -1);
%! assert (all (imag (out) == 0));
%! z = knotspectrum (complex (g, 2 * g), rand (2, 9) - 0.5, -1);
%! assert (iscomplex (z));
%! k = rand (2, 9) - 0.5;
%! assert (imag (knotspectrum (complex (g, 2 * g), k, -1)), 2 * knotspectrum (g, k, -1), 1e-12);
%! assert (imag (knotspectrum (1i * g, k(1, :), 1)), knotspectrum (g, k(1, :), 1), 1e-14);

%!test
%! ## Knots k and k + n denote the same place, also where the index sums go
%! ## negative on small grids; huge knots reduce to their fractional part.
%! g = complex (rand (12, 5), rand (12, 5));
%! k = rand (2, 15) - 0.5;
%! for n = [1 -1 -7 100]
%!   assert (knotspectrum (g, k + n, -1), knotspectrum (g, k, -1), 1e-11);
%!   assert (knotspectrum (g, k(1, :) + n, 0), knotspectrum (g, k(1, :), 0), 1e-11);
%! endfor
%! assert (knotspectrum (g, [1e12 + 0.25; -1e12 - 0.75], -1), knotspectrum (g, [0.25; 0.25], -1));

%!test
%! ## NaN and infinite knots give NaN for that knot only.
%! g = ones (16, 20);
%! out = knotspectrum (g, [0.1 NaN 0.2 0.3; 0.1 0.2 Inf 0.4], -1);
%! assert (isnan (out.'), [false true true false]);
%! out = knotspectrum (g, [0.1 -Inf 0.3], 0);
%! assert (all (isnan (out(2, :))));
%! assert (real (out([1 3], :)), 4 * ones (2, 20), 1e-12);
%! assert (imag (out([1 3], :)), zeros (2, 20));
%! per_line = 0.2 * ones (3, 20);
%! per_line(2, 7) = NaN;
%! assert (find (isnan (knotspectrum (g, per_line, 0))), sub2ind ([3 20], 2, 7));

%!test
%! ## One-point axes read their single value with the weight sum of the axis.
%! s = knotspectrum (1, 0.3, 0);
%! assert (s, 4, 1e-12);
%! assert (knotspectrum (2.5, [0.3; 0.1], -1), 2.5 * s * knotspectrum (1, 0.1, 0), 1e-12);
%! row = rand (1, 40);
%! assert (knotspectrum (row, [0.1 0.2], 1), knotspectrum (row.', [0.1 0.2], 0).');

%!test
%! ## An empty image has nothing to add: the knots get zeros.
%! assert (knotspectrum (zeros (0, 5), [0.1 NaN; 0.2 0.3], -1), zeros (2, 1));
%! assert (knotspectrum (zeros (0, 5), [0.1 0.2], 0), zeros (2, 5));

%!test
%! ## Per-line knots: line l at its own knots equals that line at shared knots.
%! g = complex (rand (40, 6), rand (40, 6));
%! k = rand (3, 6) - 0.5;
%! out = knotspectrum (g, k, 0);
%! for l = 1:6
%!   assert (out(:, l), knotspectrum (g(:, l), k(:, l), 0));
%! endfor
%! out = knotspectrum (g.', k.', 1);
%! assert (out, knotspectrum (g, k, 0).');

%!test
%! ## No requested output still gives the result; inputs are never written.
%! a = img;  b = a;  k = k2;  kk = k;
%! knotspectrum (a, k, -1);
%! assert (ans, knotspectrum (img, k2, -1));
%! assert (a, b);
%! assert (k, kk);

%!test
%! ## The Fourier transform of a small image at non-uniform frequencies,
%! ## through pre-correction, an oversampled FFT and knotspectrum, agrees with
%! ## direct summation: measured about 1.5e-12 of sum(abs(img(:))), the
%! ## bound of |F|, for these sizes.
%! rand ("seed", 3);
%! for s = {[16 12], [15 20]}
%!   N0 = s{1}(1);  N1 = s{1}(2);
%!   f = complex (rand (N0, N1), rand (N0, N1));
%!   knots = rand (2, 200) - 0.5;
%!   F = spectrum_at_knots (f, knots);
%!   r = (0:N0-1)' - floor (N0 / 2);
%!   c = (0:N1-1) - floor (N1 / 2);
%!   direct = sum ((exp (-2i * pi * knots(2, :)' * r') * f) .* exp (-2i * pi * knots(1, :)' * c), 2);
%!   assert (max (abs (F - direct)) / sum (abs (f(:))) < 5e-12);
%! endfor

%!test
%! ## help prints the calling form.
%! txt = evalc ("help knotspectrum");
%! assert (! isempty (strfind (txt, "OUT = knotspectrum(IN, KNOTS, DIM)")));

%!test
%! ## On a large grid with many knots the plug-in visits the knots in grid
%! ## order; every result is still the one the knot gets on its own.
%! g = complex (rand (400, 400), rand (400, 400));
%! k = 3 * rand (2, 6000) - 1.5;
%! k(:, 17) = [NaN; 0.2];
%! out = knotspectrum (g, k, -1);
%! parts = [knotspectrum(g, k(:, 1:3000), -1); knotspectrum(g, k(:, 3001:end), -1)];
%! assert (out, parts);
%! assert (isnan (out(17)));

%!test
%! ## Per-line knots along the rows of a large grid go through a transposed
%! ## copy; the results are those of the same lines taken as columns.
%! g = complex (rand (200, 256), rand (200, 256));
%! k = rand (200, 30) - 0.5;
%! k(7, 3) = Inf;
%! out = knotspectrum (g, k, 1);
%! assert (out, knotspectrum (g.', k.', 0).');
%! assert (find (isnan (out)), sub2ind ([200 30], 7, 3));
