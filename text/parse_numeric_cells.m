%PARSE_NUMERIC_CELLS  Read every cell of a cell array as one number.
%   OUT = parse_numeric_cells(IN)
%
%   IN is a cell array of any size. OUT is a real double array of exactly
%   the size of IN; OUT(k) is the number that the text in IN{k} spells, or
%   NaN when IN{k} is not exactly one number.
%
%   A cell counts as a number when, after optional leading white space
%   (space, tab, newline, vertical tab, form feed, carriage return), it holds
%   one number followed by nothing but such white space. Numbers are written
%   with a point as decimal mark whatever the locale: an optional sign,
%   digits with an optional fraction, and an optional exponent (1e5, -2.5E-3,
%   .5, 5.). Also read: hexadecimal numbers (0x10, 0x1.8p1) and the words
%   inf, infinity and nan in any letter case. A value too large for a double
%   gives Inf or -Inf, one too small a subnormal number or zero.
%
%   Empty cells, cells of blanks, text with anything else in it (units,
%   commas, a second number), and cells that hold no text at all (numbers,
%   cells, structures) give NaN; none of them is an error.
%
%   Example:
%      parse_numeric_cells({"1.5", " 12 ", "12abc"; "-1e400", "", 3})
%      % ans = [1.5 12 NaN; -Inf NaN NaN]
%
%   See also STR2DOUBLE, STR2NUM.
