%SCATTER_SUM  Add every pixel of a 2-D image into its own translated position.
%   OUT = scatter_sum(IN, TRANSX, TRANSY)
%
%   IN, TRANSX and TRANSY are real double matrices of one size. Pixel (r, c)
%   of IN is added to OUT at column round(c + TRANSX(r, c)) and row
%   round(r + TRANSY(r, c)), where round takes halves away from zero, as
%   ROUND does. Where several pixels land on one target their values add up,
%   in column-major order of the sources; targets that nothing reaches stay
%   0. Pixels that land outside the image, and those with a NaN or infinite
%   translation, are dropped.
%
%   TRANSX moves content along the columns, TRANSY along the rows; positive
%   values move content toward higher indices. The imaginary parts of
%   complex arguments are ignored; sparse arguments are refused. Calling
%   mistakes are reported with the usage text of PRE_SCATTER_SUM, the name
%   under which the toolbox calls it.
%
%   Example: push every pixel half a pixel to the right (it lands one column on)
%      out = scatter_sum(img, 0.5 * ones(size(img)), zeros(size(img)));
%
%   See also FIELDWARP, FIELDWARP_SPLINE, ACCUMARRAY.
