## Host-level tests of the scatter_sum plug-in.

%!shared img, z
%! img = reshape (1:12, 3, 4);
%! z = zeros (3, 4);

%!test
%! ## Messages in order: counts first; then each argument's dimensions and
%! ## class before the next argument is looked at; then the sizes.
%! u = "Usage: pre_scatter_sum(in, transx, transy).";
%! d = "2D image expected.";
%! t = "Image of unexpected data type.";
%! s = "Image sizes do not match.";
%! z3 = zeros (3, 4, 2);
%! cases = {
%!   u, {};
%!   u, {img};
%!   u, {img, z};
%!   u, {img, z, z, z};
%!   u, {single(img), z};
%!   d, {z3, z, z};
%!   d, {single(z3), z, z};         # dimensions before class
%!   d, {z3, single(z), z};         # in before transx
%!   t, {single(img), z, z};
%!   t, {single(img), z3, z3};      # in is finished before transx
%!   t, {int32(img), z, z};
%!   t, {uint8(img), z, z};
%!   t, {true(3, 4), z, z};
%!   t, {"abcd", z, z};
%!   t, {{1}, z, z};
%!   d, {img, z3, single(z)};
%!   t, {img, single(z), z3};
%!   t, {img, int16(z), z};
%!   d, {img, z, z3};
%!   t, {img, z, single(z)};
%!   t, {img, z, false(3, 4)};
%!   s, {img, zeros(3, 5), z};
%!   s, {img, z, zeros(2, 4)};
%!   s, {img, zeros(4, 3), zeros(4, 3)};
%!   s, {zeros(0, 4), zeros(0, 3), zeros(0, 4)};
%! };
%! for k = 1:rows (cases)
%!   assert_error (cases{k, 1}, @scatter_sum, cases{k, 2}{:});
%! endfor

%!test
%! ## The input count is checked before the output count, and that before the classes.
%! assert_error ("Usage: pre_scatter_sum(in, transx, transy).", @() scatter_sum (1));
%! try
%!   [a, b] = scatter_sum (single (img), z, z);
%!   error ("no error");
%! catch err
%!   assert (err.message, "scatter_sum: Too many output arguments");
%! end_try_catch

%!test
%! msg = "scatter_sum needs full arrays: convert sparse input with full().";
%! assert_error (msg, @scatter_sum, sparse (img), z, z);
%! assert_error (msg, @scatter_sum, img, sparse (z), z);
%! assert_error (msg, @scatter_sum, img, z, sparse (z));
%! ## The size check comes first.
%! assert_error ("Image sizes do not match.", @scatter_sum, sparse (img), zeros (3, 5), z);

%!test
%! ## Zero translations return the image, as a real double of its size.
%! in = rand (5, 6) - 0.5;
%! out = scatter_sum (in, zeros (5, 6), zeros (5, 6));
%! assert (class (out), "double");
%! assert (isreal (out));
%! assert (out, in);

%!test
%! ## Half a pixel right: every column moves one on, the last is dropped.
%! out = scatter_sum (img, 0.5 * ones (3, 4), z);
%! assert (out, [zeros(3, 1), img(:, 1:end-1)]);
%! ## Half a pixel left: the first column goes to -1, the rest stay.
%! out = scatter_sum (img, -0.5 * ones (3, 4), z);
%! assert (out, [zeros(3, 1), img(:, 2:end)]);
%! ## The same along rows.
%! out = scatter_sum (img, z, 0.5 * ones (3, 4));
%! assert (out, [zeros(1, 4); img(1:end-1, :)]);

%!test
%! ## Collisions add up; targets nothing reaches stay 0.
%! tx = zeros (3, 4);  ty = zeros (3, 4);
%! tx(:, 2) = -1;            # column 2 lands on column 1
%! ty(1, 4) = 2;  tx(1, 4) = -2.6;   # (1, 4) lands on (3, 1)
%! out = scatter_sum (img, tx, ty);
%! expected = [img(:, 1) + img(:, 2), zeros(3, 1), img(:, 3), [0; img(2:3, 4)]];
%! expected(3, 1) += img(1, 4);
%! assert (out, expected);

%!test
%! ## NaN and infinite translations, and far ones, drop their pixel only.
%! bad = [NaN, Inf, -Inf, 1e300, 2^31, -2^31 - 2];
%! for b = bad
%!   tx = z;  tx(2, 2) = b;
%!   expected = img;  expected(2, 2) = 0;
%!   assert (scatter_sum (img, tx, z), expected);
%!   assert (scatter_sum (img, z, tx), expected);
%! endfor

%!test
%! ## Empty images keep their shape.
%! assert (size (scatter_sum (zeros (0, 3), zeros (0, 3), zeros (0, 3))), [0 3]);
%! assert (size (scatter_sum (zeros (3, 0), zeros (3, 0), zeros (3, 0))), [3 0]);

%!test
%! ## Complex arguments: only the real parts count, and the result is real.
%! tx = 0.7 * ones (3, 4);  ty = -0.6 * ones (3, 4);
%! expected = scatter_sum (img, tx, ty);
%! out = scatter_sum (complex (img, img), complex (tx, 5 * tx), complex (ty, ty));
%! assert (isreal (out));
%! assert (out, expected);

%!test
%! ## Zero or one requested outputs both give the result.
%! scatter_sum (img, z, z);
%! assert (ans, img);
%! out = scatter_sum (img, z, z);
%! assert (out, img);

%!test
%! ## The inputs are never written, even when they share storage with copies.
%! a = img;  b = a;  tx = 0.5 * ones (3, 4);  tx2 = tx;  ty = -tx;  ty2 = ty;
%! scatter_sum (a, tx, ty);
%! assert (a, b);
%! assert (tx, tx2);
%! assert (ty, ty2);

%!test
%! ## Agrees with accumarray over round(), which also takes halves away from
%! ## zero; whole values keep the sums exact whatever their order.
%! rand ("seed", 3);
%! M = 20;  N = 30;
%! in = round (100 * rand (M, N));
%! tx = 6 * rand (M, N) - 3;  ty = 6 * rand (M, N) - 3;
%! tx(1:7:end) = 0.5;  ty(2:9:end) = -1.5;
%! [C, R] = meshgrid (0:N-1, 0:M-1);
%! cx = round (C + tx);  ry = round (R + ty);
%! keep = cx >= 0 & cx < N & ry >= 0 & ry < M;
%! ref = accumarray ([ry(keep) + 1, cx(keep) + 1], in(keep), [M N]);
%! assert (scatter_sum (in, tx, ty), ref);

%!test
%! ## help prints the calling form.
%! txt = evalc ("help scatter_sum");
%! assert (! isempty (strfind (txt, "OUT = scatter_sum(IN, TRANSX, TRANSY)")));
