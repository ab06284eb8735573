## Host-level tests of the fieldwarp plug-in.

%!shared img, sv0
%! img = reshape (1:20, 4, 5);
%! sv0 = zeros (4, 5, 2);

%!test
%! ## Messages in order of precedence: each row breaks only its own check.
%! cases = {
%!   "Usage: fieldwarp(in, sv).", {img};
%!   "Usage: fieldwarp(in, sv).", {img, sv0, 1};
%!   "Input must be 2D double array.", {single(img), sv0};
%!   "Input must be 2D double array.", {int16(img), sv0};
%!   "Input must be 2D double array.", {true(4, 5), sv0};
%!   "Input must be 2D double array.", {cat(3, img, img), sv0};
%!   "Shift must be 3D double array.", {img, single(sv0)};
%!   "Shift must be 3D double array.", {img, zeros(4, 5)};
%!   "Shift must be 3D double array.", {img, zeros(4, 5, 2, 2)};
%!   "Shift image and input image must have same dimensions.", {img, zeros(5, 5, 2)};
%!   "Shift image and input image must have same dimensions.", {img, zeros(4, 4, 2)};
%!   "Shift image must have two elements along 3rd dimension.", {img, zeros(4, 5, 3)};
%!   "Input must be 2D double array.", {"abcd", sv0};
%! };
%! for k = 1:rows (cases)
%!   assert_error (cases{k, 1}, @fieldwarp, cases{k, 2}{:});
%! endfor

%!test
%! ## The input count is checked before the output count, and that before the classes.
%! assert_error ("Usage: fieldwarp(in, sv).", @() fieldwarp (1));
%! try
%!   [a, b] = fieldwarp (single (img), sv0);
%!   error ("no error");
%! catch err
%!   assert (err.message, "fieldwarp: Too many output arguments");
%! end_try_catch

%!test
%! assert_error ("fieldwarp needs full arrays: convert sparse input with full().", ...
%!               @fieldwarp, sparse (img), sv0);

%!test
%! ## Zero field: the image comes back unchanged, as a real double of its size.
%! out = fieldwarp (img, sv0);
%! assert (class (out), "double");
%! assert (isreal (out));
%! assert (out, img);

%!test
%! ## +1 along columns: column 1 (MATLAB's first) is 0, the rest move right.
%! sv = cat (3, ones (4, 5), zeros (4, 5));
%! out = fieldwarp (img, sv);
%! assert (out(:, 1), zeros (4, 1));
%! assert (out(:, 2:end), img(:, 1:end-1));
%! ## +1 along rows moves content down.
%! out = fieldwarp (img, cat (3, zeros (4, 5), ones (4, 5)));
%! assert (out(1, :), zeros (1, 5));
%! assert (out(2:end, :), img(1:end-1, :));

%!test
%! ## 0 0 0 10 30 sampled at column position 2.5 gives 0, not 5.
%! row = [0 0 0 10 30; 0 0 0 10 30];
%! sv = zeros (2, 5, 2);
%! sv(1, 1, 1) = -2.5;
%! out = fieldwarp (row, sv);
%! assert (out(1, 1), 0);

%!test
%! ## Complex arguments: only the real parts count, and the result is real.
%! sv = cat (3, 0.25 * ones (4, 5), zeros (4, 5));
%! expected = fieldwarp (img, sv);
%! out = fieldwarp (complex (img, 3 * img), complex (sv, ones (size (sv))));
%! assert (isreal (out));
%! assert (out, expected);

%!test
%! ## NaN displacement gives NaN there and nowhere else.
%! sv = sv0;
%! sv(2, 3, 1) = NaN;
%! out = fieldwarp (img, sv);
%! assert (isnan (out(2, 3)));
%! assert (nnz (isnan (out)), 1);

%!test
%! ## Empty images keep their shape.
%! assert (size (fieldwarp (zeros (0, 3), zeros (0, 3, 2))), [0 3]);
%! assert (size (fieldwarp (zeros (3, 0), zeros (3, 0, 2))), [3 0]);

%!test
%! ## Zero or one requested outputs both give the result.
%! fieldwarp (img, sv0);
%! assert (ans, img);
%! out = fieldwarp (img, sv0);
%! assert (out, img);

%!test
%! ## The inputs are never written, even when they share storage with copies.
%! a = img;  b = a;
%! s = cat (3, 0.5 * ones (4, 5), -0.25 * ones (4, 5));  t = s;
%! fieldwarp (a, s);
%! assert (a, b);
%! assert (s, t);

%!test
%! ## Agrees with interp2's linear interpolation where the two rules coincide:
%! ## fractions of 0.25 with the base index below the position.
%! [X, Y] = meshgrid (1:5, 1:4);
%! dx = 0.25 * ones (4, 5);  dy = -0.25 * ones (4, 5);
%! out = fieldwarp (img, cat (3, dx, dy));
%! ref = interp2 (img, X - dx, Y - dy, "linear", 0);
%! inside = ! isnan (ref) & ref != 0;
%! assert (out(inside), ref(inside), 1e-12);
%! assert (nnz (inside) > 0);

%!test
%! ## help prints the calling form.
%! txt = evalc ("help fieldwarp");
%! assert (! isempty (strfind (txt, "OUT = fieldwarp(IN, SV)")));

%!test
%! ## A length that does not fit 32 bits is refused, not wrapped (the arrays
%! ## are empty, so nothing large is allocated).
%! big = 2^31;
%! assert_error ("Array too large: every dimension and the number of elements must be below 2^31.", ...
%!               @fieldwarp, zeros (big, 0), zeros (big, 0, 2));
%! assert_error ("Array too large: every dimension and the number of elements must be below 2^31.", ...
%!               @fieldwarp, zeros (0, big), zeros (0, big, 2));
