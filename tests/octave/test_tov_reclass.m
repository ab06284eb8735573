## Host-level tests of the tov_reclass plug-in.

%!test
%! ## Wrong counts, and classes whose bytes are not plain numbers, are refused.
%! cases = {
%!   {};
%!   {int8(1), int8(2)};
%!   {true(2)};
%!   {"abc"};
%!   {{int8(1)}};
%!   {struct("a", int8(1))};
%!   {@sin};
%!   {sparse([1 0; 0 2])};
%!   {sparse(true(2))};
%! };
%! for k = 1:rows (cases)
%!   assert_error ("Illegal call to TOV_RECLASS.", @tov_reclass, cases{k}{:});
%! endfor
%! try
%!   [a, b] = tov_reclass (int8 (1));
%!   error ("no error");
%! catch err
%!   assert (err.message, "tov_reclass: Illegal call to TOV_RECLASS.");
%! end_try_catch

%!test
%! ## Input, expected output: signed widths become unsigned, bytes unchanged.
%! cases = {
%!   int8([-1 -128 5 0 127]),  uint8([255 128 5 0 127]);
%!   int16([-1 -32768 300]),   uint16([65535 32768 300]);
%!   int32([-2^31 -1 7]),      uint32([2^31 2^32-1 7]);
%! };
%! for k = 1:rows (cases)
%!   out = tov_reclass (cases{k, 1});
%!   assert (class (out), class (cases{k, 2}));
%!   assert (out, cases{k, 2});
%! endfor

%!test
%! ## Every other numeric class comes back as it went in.
%! inputs = {uint8([0 200 255]), uint16([1 65535]), uint32([0 4e9]), ...
%!           int64([-1 intmin("int64") intmax("int64")]), uint64([0 intmax("uint64")]), ...
%!           [-1.5 NaN Inf -0], single([2.5 -Inf])};
%! for k = 1:numel (inputs)
%!   out = tov_reclass (inputs{k});
%!   assert (class (out), class (inputs{k}));
%!   assert (out, inputs{k});
%! endfor
%! assert (signbit (tov_reclass (-0)));

%!test
%! ## Agrees with typecast, element by element, on all int8 values.
%! v = int8 (-128:127);
%! assert (tov_reclass (v), typecast (v, "uint8"));

%!test
%! ## Complex input: a real output of the real parts only. (Octave has no
%! ## complex integer arrays, so complex input is double or single.)
%! out = tov_reclass (complex ([1.5 -2], [3 4]));
%! assert (isreal (out));
%! assert (out, [1.5 -2]);
%! out = tov_reclass (complex (single ([0 -7]), single ([1 1])));
%! assert (isreal (out));
%! assert (out, single ([0 -7]));

%!test
%! ## Shapes are kept: empty arrays of every kind, and three dimensions.
%! shapes = {[0 0], [0 3], [2 0 4]};
%! for k = 1:numel (shapes)
%!   out = tov_reclass (zeros (shapes{k}, "int16"));
%!   assert (class (out), "uint16");
%!   assert (size (out), shapes{k});
%! endfor
%! in = reshape (int32 (-12:11), 2, 3, 4);
%! out = tov_reclass (in);
%! assert (size (out), [2 3 4]);
%! assert (out(:), typecast (in(:), "uint32"));

%!test
%! ## The output is a copy: the input is unchanged and changing the output
%! ## does not reach it.
%! in = int8 ([-1 2 -3]);  keep = in;
%! out = tov_reclass (in);
%! out(1) = 0;
%! assert (in, keep);

%!test
%! txt = evalc ("help tov_reclass");
%! assert (! isempty (strfind (txt, "OUT = tov_reclass(IN)")));
