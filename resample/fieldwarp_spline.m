%FIELDWARP_SPLINE  Resample a 2-D image along a displacement field with cubic splines.
%   OUT = fieldwarp_spline(IN, SV)
%
%   IN is an M-by-N real double matrix, SV an M-by-N-by-2 double array.
%   Output pixel (r, c) takes the value of IN at column position
%   c - SV(r, c, 1) and row position r - SV(r, c, 2). The value comes from
%   the 4-by-4 samples around the nearest pixel: a cubic spline with flat
%   ends is laid through each of the four rows of samples, and another one
%   through the four results along the column. Each spline is local to the
%   output pixel; no spline over the whole image is built. Near the edges the
%   edge samples are repeated.
%
%   The first plane moves content along the columns, the second along the
%   rows; positive values move content toward higher indices. Positions
%   outside the image give 0, a NaN displacement gives NaN. The imaginary
%   parts of complex arguments are ignored; sparse arguments are refused.
%
%   Calling mistakes are reported with the messages of FIELDWARP.
%
%   Example: move an image a quarter pixel to the right
%      out = fieldwarp_spline(img, cat(3, 0.25 * ones(size(img)), zeros(size(img))));
%
%   See also FIELDWARP, SCATTER_SUM, INTERP2.
