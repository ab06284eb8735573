%FIELDWARP  Resample a 2-D image along a displacement field, linearly.
%   OUT = fieldwarp(IN, SV)
%
%   IN is an M-by-N real double matrix, SV an M-by-N-by-2 double array.
%   Output pixel (r, c) takes the value of IN at column position
%   c - SV(r, c, 1) and row position r - SV(r, c, 2), interpolated linearly
%   from the nearest sample and its neighbour toward higher indices. The
%   first plane moves content along the columns, the second along the rows;
%   positive values move content toward higher indices.
%
%   Positions outside the image give 0, a NaN displacement gives NaN. The
%   imaginary parts of complex arguments are ignored; sparse arguments are
%   refused.
%
%   Example: shift an image one pixel to the right
%      out = fieldwarp(img, cat(3, ones(size(img)), zeros(size(img))));
%
%   See also FIELDWARP_SPLINE, SCATTER_SUM, INTERP2.
