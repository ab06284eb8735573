## Host-level tests of the tov_makemask plug-in.

%!test
%! ## Wrong counts and every class but uint8 are refused.
%! cases = {
%!   {};
%!   {uint8(1), uint8(2)};
%!   {1};
%!   {int8(1)};
%!   {true(2)};
%!   {uint16(1)};
%!   {single(1)};
%!   {"a"};
%!   {{uint8(1)}};
%!   {struct("a", uint8(1))};
%!   {sparse(1)};
%! };
%! for k = 1:rows (cases)
%!   assert_error ("Illegal call to TOV_MAKEMASK.", @tov_makemask, cases{k}{:});
%! endfor
%! try
%!   [a, b] = tov_makemask (uint8 (1));
%!   error ("no error");
%! catch err
%!   assert (err.message, "tov_makemask: Illegal call to TOV_MAKEMASK.");
%! end_try_catch

%!test
%! ## 0 stays 0, every other byte becomes 1; the class stays uint8.
%! out = tov_makemask (uint8 ([0 1 2 255 128 0]));
%! assert (class (out), "uint8");
%! assert (out, uint8 ([0 1 1 1 1 0]));

%!test
%! ## All 256 byte values, in an array long enough for the block-wise path,
%! ## with runs of zeros between them.
%! in = zeros (1, 4000, "uint8");
%! in(1:256) = 0:255;
%! in(3000:3255) = 255:-1:0;
%! in(3999) = 9;
%! assert (tov_makemask (in), uint8 (in != 0));

%!test
%! ## Shapes are kept, empty ones and three dimensions included.
%! shapes = {[0 0], [0 5], [3 0 2], [2 3 4]};
%! for k = 1:numel (shapes)
%!   in = uint8 (mod (reshape (0:prod (shapes{k}) - 1, shapes{k}), 3));
%!   out = tov_makemask (in);
%!   assert (class (out), "uint8");
%!   assert (size (out), shapes{k});
%!   assert (out, uint8 (in != 0));
%! endfor

%!test
%! ## Octave has no complex integer arrays: complex() of uint8 parts is a
%! ## complex double, which is refused like any double.
%! in = complex (uint8 ([0 0 3 4]), uint8 ([0 7 0 7]));
%! assert (class (in), "double");
%! assert_error ("Illegal call to TOV_MAKEMASK.", @tov_makemask, in);

%!test
%! ## The input is left as it was.
%! in = uint8 ([0 5 9]);  keep = in;
%! tov_makemask (in);
%! assert (in, keep);

%!test
%! txt = evalc ("help tov_makemask");
%! assert (! isempty (strfind (txt, "OUT = tov_makemask(IN)")));
