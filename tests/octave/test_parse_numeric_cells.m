## Host-level tests of the parse_numeric_cells plug-in.

%!test
%! ## Messages in order of precedence: each row breaks only its own check.
%! cases = {
%!   "Usage: low_parse_numeric_cells(in)", {};
%!   "Usage: low_parse_numeric_cells(in)", {{"1"}, {"2"}};
%!   "Argument must be a cell array", {"12"};
%!   "Argument must be a cell array", {12};
%!   "Argument must be a cell array", {struct("a", {"1"})};
%!   "Argument must be a cell array", {[]};
%! };
%! for k = 1:rows (cases)
%!   assert_error (cases{k, 1}, @parse_numeric_cells, cases{k, 2}{:});
%! endfor

%!test
%! ## The input count wins over the output count, and that over the class.
%! assert_error ("Usage: low_parse_numeric_cells(in)", @() parse_numeric_cells ());
%! try
%!   [a, b] = parse_numeric_cells ("not a cell");
%!   error ("no error");
%! catch err
%!   assert (err.message, "parse_numeric_cells: Too many output arguments");
%! end_try_catch

%!test
%! ## One cell at a time: text, expected value, reason.
%! cases = {
%!   "12",        12,    "";
%!   "  12",      12,    "leading blanks";
%!   "12  ",      12,    "trailing blanks";
%!   "\t\n12\r\n", 12,   "tabs and line ends are white space";
%!   "12abc",     NaN,   "trailing junk";
%!   "12 3",      NaN,   "two numbers";
%!   "",          NaN,   "empty string";
%!   "    ",      NaN,   "blanks only";
%!   "1e400",     Inf,   "overflow";
%!   "-1e400",    -Inf,  "";
%!   "1e-400",    0,     "underflow";
%!   "-2.5e-3",   -2.5e-3, "";
%!   "+.5",       0.5,   "";
%!   "1,5",       NaN,   "a comma is not a decimal mark";
%!   "1 000",     NaN,   "no thousands separators";
%!   "0x10",      16,    "hexadecimal";
%!   "-Inf",      -Inf,  "";
%!   "infinity",  Inf,   "";
%!   "3 m",       NaN,   "no units";
%!   "1+2i",      NaN,   "no complex numbers";
%!   "4.9406564584124654e-324", 4.9406564584124654e-324, "smallest subnormal";
%!   "0.1000000000000000055511151231257827021181583404541015625", 0.1, "";
%!   ["12" char(0)], NaN, "a zero character is not white space";
%!   ["7" char(160)], NaN, "non-ASCII is not white space";
%! };
%! out = parse_numeric_cells (cases(:, 1));
%! for k = 1:rows (cases)
%!   assert (out(k), cases{k, 2}, sprintf ("%s: %s", mat2str (double (cases{k, 1})), cases{k, 3}));
%! endfor
%! assert (isnan (parse_numeric_cells ({"nan"})));

%!test
%! ## Cells that hold no text give NaN; so do unassigned cells.
%! c = cell (1, 7);
%! c{2} = "5";
%! c{3} = 5;
%! c{4} = {"5"};
%! c{5} = struct ("a", "5");
%! c{6} = int8 (5);
%! c{7} = true;
%! out = parse_numeric_cells (c);
%! assert (size (out), [1 7]);
%! assert (isnan (out([1 3 4 5 6 7])));
%! assert (out(2), 5);

%!test
%! ## The output has the cell array's exact dimensions, empty ones included.
%! shapes = {[0 0], [1 0], [0 3], [3 0 2], [2 2], [1 5], [5 1], [2 3 4], [1 1 1 2]};
%! for k = 1:numel (shapes)
%!   out = parse_numeric_cells (cell (shapes{k}));
%!   assert (class (out), "double");
%!   assert (isreal (out));
%!   assert (size (out), shapes{k});
%!   assert (all (isnan (out(:))));
%! endfor

%!test
%! ## Positions are kept: a 2-by-2 and a 2-by-3-by-2 array, column-major.
%! assert (parse_numeric_cells ({"1", "2"; "3", "4"}), [1 2; 3 4]);
%! c = arrayfun (@(v) sprintf ("%d", v), reshape (1:12, 2, 3, 2), "UniformOutput", false);
%! assert (parse_numeric_cells (c), reshape (1:12, 2, 3, 2));

%!test
%! ## Long strings grow the text buffer; any truncation would change these
%! ## results. Later, shorter strings are read whole as well.
%! long_digits = [repmat("0", 1, 149) "7"];            # 150 characters
%! long_junk = ["5" repmat(" ", 1, 120) "x"];
%! long_blank = [repmat(" ", 1, 300) "-8.25" repmat(" ", 1, 300)];
%! many = ["1." repmat("0", 1, 2000) "1"];
%! c = {"1.5", long_digits, "2", long_junk, "  3 ", long_blank, "4e1", many, "12abc"};
%! assert (parse_numeric_cells (c), [1.5 7 2 NaN 3 -8.25 40 1 NaN]);

%!test
%! ## A character array of several rows is read column by column, as one text.
%! assert (parse_numeric_cells ({["12"; "34"]}), 1324);

%!test
%! ## Agrees with str2double on plain decimal text, up to the last bit.
%! v = [0.1 -2.5 1e-300 123456789.125 pi -exp(1) 6.02214076e23 5e-324];
%! c = arrayfun (@(x) sprintf ("%.17g", x), v, "UniformOutput", false);
%! assert (parse_numeric_cells (c), str2double (c));
%! assert (parse_numeric_cells (c), v);

%!test
%! ## Under a comma-decimal C-library locale (Octave keeps numbers in "C",
%! ## so a test plug-in switches it) plain strtod reads "1,5" as 1.5, while
%! ## this plug-in still reads only a point, on both of its paths.
%! state = set_process_locale ("de_DE.UTF-8");
%! unwind_protect
%!   if (! isequal (state, [1 1.5]))
%!     error ("de_DE.UTF-8 is missing or has no decimal comma; scripts/setup generates it");
%!   endif
%!   out = parse_numeric_cells ({"1.5", "1,5", " -2.5e1 ", "0x1.8p1", "0x1,8p1", "-inf"});
%!   assert (out, [1.5 NaN -25 3 NaN -Inf]);
%! unwind_protect_cleanup
%!   set_process_locale ();
%! end_unwind_protect

%!test
%! ## The input is left as it was.
%! c = {" 1 ", "x"};  d = c;
%! parse_numeric_cells (c);
%! assert (c, d);

%!test
%! txt = evalc ("help parse_numeric_cells");
%! assert (! isempty (strfind (txt, "OUT = parse_numeric_cells(IN)")));
