## Host-level tests of the fieldwarp_spline plug-in.

%!shared img, sv0
%! img = reshape (1:20, 4, 5);
%! sv0 = zeros (4, 5, 2);

%!test
%! ## Messages in order of precedence: each row breaks only its own check,
%! ## or two of them to show which one wins. The usage text names fieldwarp.
%! cases = {
%!   "Usage: fieldwarp(in, sv).", {};
%!   "Usage: fieldwarp(in, sv).", {img};
%!   "Usage: fieldwarp(in, sv).", {img, sv0, 1};
%!   "Usage: fieldwarp(in, sv).", {single(img)};
%!   "Input must be 2D double array.", {single(img), sv0};
%!   "Input must be 2D double array.", {int16(img), sv0};
%!   "Input must be 2D double array.", {true(4, 5), sv0};
%!   "Input must be 2D double array.", {"abcd", sv0};
%!   "Input must be 2D double array.", {{1}, sv0};
%!   "Input must be 2D double array.", {cat(3, img, img), sv0};
%!   "Input must be 2D double array.", {single(img), single(sv0)};
%!   "Shift must be 3D double array.", {img, single(sv0)};
%!   "Shift must be 3D double array.", {img, zeros(4, 5)};
%!   "Shift must be 3D double array.", {img, zeros(4, 5, 2, 2)};
%!   "Shift must be 3D double array.", {img, single(zeros(5, 5, 2))};
%!   "Shift image and input image must have same dimensions.", {img, zeros(5, 5, 2)};
%!   "Shift image and input image must have same dimensions.", {img, zeros(4, 4, 2)};
%!   "Shift image and input image must have same dimensions.", {img, zeros(5, 5, 3)};
%!   "Shift image must have two elements along 3rd dimension.", {img, zeros(4, 5, 3)};
%!   "Shift image must have two elements along 3rd dimension.", {img, zeros(4, 5, 0)};
%!   "Shift must be 3D double array.", {img, zeros(4, 5, 1)};    # a trailing 1 is dropped
%! };
%! for k = 1:rows (cases)
%!   assert_error (cases{k, 1}, @fieldwarp_spline, cases{k, 2}{:});
%! endfor

%!test
%! ## The input count is checked before the output count, and that before the classes.
%! assert_error ("Usage: fieldwarp(in, sv).", @() fieldwarp_spline (1));
%! try
%!   [a, b] = fieldwarp_spline (single (img), sv0);
%!   error ("no error");
%! catch err
%!   assert (err.message, "fieldwarp_spline: Too many output arguments");
%! end_try_catch

%!test
%! msg = "fieldwarp_spline needs full arrays: convert sparse input with full().";
%! assert_error (msg, @fieldwarp_spline, sparse (img), sv0);
%! ## A sparse array is never 3-D, so a sparse field fails the dimension check.
%! assert_error ("Shift must be 3D double array.", @fieldwarp_spline, img, sparse (4, 5));

%!test
%! ## Zero field: the image comes back unchanged, as a real double of its size.
%! in = rand (6, 7) - 0.5;
%! out = fieldwarp_spline (in, zeros (6, 7, 2));
%! assert (class (out), "double");
%! assert (isreal (out));
%! assert (out, in);

%!test
%! ## Samples 0 1 2 3 at a quarter past each: 1.26875 between the middle two,
%! ## not 1.25; the last column's position 3.25 lies outside.
%! in = repmat (0:3, 3, 1);
%! out = fieldwarp_spline (in, cat (3, -0.25 * ones (3, 4), zeros (3, 4)));
%! assert (out(:, 2), 1.26875 * ones (3, 1), 1e-14);
%! assert (out(:, 4), zeros (3, 1));
%! ## The same along rows, through the second plane.
%! out = fieldwarp_spline (in', cat (3, zeros (4, 3), -0.25 * ones (4, 3)));
%! assert (out(2, :), 1.26875 * ones (1, 3), 1e-14);
%! assert (out(4, :), zeros (1, 3));

%!test
%! ## Rows that are each constant, moved a quarter along the columns, come
%! ## back unchanged except for the first column, which comes from outside.
%! in = repmat ([3; -1; 4; 1; 5], 1, 6);
%! out = fieldwarp_spline (in, cat (3, 0.25 * ones (5, 6), zeros (5, 6)));
%! assert (out(:, 1), zeros (5, 1));
%! assert (out(:, 2:end), in(:, 2:end));

%!test
%! ## A constant image stays constant inside, 0 outside.
%! sv = cat (3, 0.75 * ones (4, 5), -1.5 * ones (4, 5));
%! out = fieldwarp_spline (7 * ones (4, 5), sv);
%! expected = zeros (4, 5);
%! expected(1:2, 2:5) = 7;
%! assert (out, expected);

%!test
%! ## +1 along columns moves content right by exactly one column.
%! out = fieldwarp_spline (img, cat (3, ones (4, 5), zeros (4, 5)));
%! assert (out(:, 1), zeros (4, 1));
%! assert (out(:, 2:end), img(:, 1:end-1));

%!test
%! ## Complex arguments: only the real parts count, and the result is real.
%! sv = cat (3, 0.3 * ones (4, 5), -0.2 * ones (4, 5));
%! expected = fieldwarp_spline (img, sv);
%! out = fieldwarp_spline (complex (img, 3 * img), complex (sv, ones (size (sv))));
%! assert (isreal (out));
%! assert (out, expected);

%!test
%! ## NaN displacement gives NaN there and nowhere else; Inf gives 0.
%! sv = sv0;
%! sv(2, 3, 1) = NaN;
%! sv(3, 3, 2) = Inf;
%! sv(4, 1, 1) = -Inf;
%! out = fieldwarp_spline (img, sv);
%! assert (isnan (out(2, 3)));
%! assert (nnz (isnan (out)), 1);
%! assert ([out(3, 3), out(4, 1)], [0 0]);

%!test
%! ## Empty images keep their shape; single rows and columns work.
%! assert (size (fieldwarp_spline (zeros (0, 3), zeros (0, 3, 2))), [0 3]);
%! assert (size (fieldwarp_spline (zeros (3, 0), zeros (3, 0, 2))), [3 0]);
%! assert (fieldwarp_spline ([1 2 4 8], zeros (1, 4, 2)), [1 2 4 8]);
%! assert (fieldwarp_spline ([1; 2; 4; 8], zeros (4, 1, 2)), [1; 2; 4; 8]);

%!test
%! ## Zero or one requested outputs both give the result.
%! fieldwarp_spline (img, sv0);
%! assert (ans, img);
%! out = fieldwarp_spline (img, sv0);
%! assert (out, img);

%!test
%! ## The inputs are never written, even when they share storage with copies.
%! a = img;  b = a;
%! s = cat (3, 0.5 * ones (4, 5), -0.25 * ones (4, 5));  t = s;
%! fieldwarp_spline (a, s);
%! assert (a, b);
%! assert (s, t);

%!test
%! ## help prints the calling form.
%! txt = evalc ("help fieldwarp_spline");
%! assert (! isempty (strfind (txt, "OUT = fieldwarp_spline(IN, SV)")));
