%KNOTSPECTRUM  Gaussian gridding of a periodic complex grid at real knots.
%   OUT = knotspectrum(IN, KNOTS, DIM)
%
%   IN is an M0-by-M1 double matrix, real or complex, taken as one period
%   of a periodic grid. Each knot coordinate k is measured in grid periods:
%   k = 0 lies on the 0-based grid index floor(M/2) of its axis, k and k + 1
%   name the same place. A knot collects the 24 grid values on either side
%   of it along each axis it uses, weighted by exp(-pi*d^2/16), where d is
%   the distance in grid cells. This is the interpolation step of a
%   non-uniform Fourier transform by Gaussian gridding; the grid is used as
%   given (see SPECTRUM_AT_KNOTS for the whole transform).
%
%   DIM = -1: KNOTS is 2-by-N, column j holding knot j: row 1 the coordinate
%   along the columns of IN, row 2 along its rows. OUT is N-by-1.
%
%   DIM = 0 or 1: every line of IN along dimension DIM+1 (every column for
%   0, every row for 1) is interpolated in one dimension. A KNOTS vector
%   (one row or one column) is shared by all lines; any other KNOTS matrix
%   holds one line of knots per line of IN and must match IN along the
%   other dimension. OUT is nK-by-M1 for DIM = 0 and M0-by-nK for DIM = 1,
%   nK being the number of knots per line.
%
%   OUT is always complex. DIM is truncated toward zero and must then be
%   -1, 0 or 1. Only the real parts of KNOTS and DIM are read; sparse
%   arguments are refused. A NaN or infinite knot gives NaN; an image with
%   no rows or no columns gives zeros.
%
%   Example: the middle column of a grid at three shared knots
%      out = knotspectrum(rand(64, 10), [-0.1 0 0.1], 0);   % 3-by-10
%
%   See also SPECTRUM_AT_KNOTS, FFT2, INTERP1.
