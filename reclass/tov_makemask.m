%TOV_MAKEMASK  0/1 mask of a uint8 array.
%   OUT = tov_makemask(IN)
%
%   IN is a uint8 array of any size. OUT is a uint8 array (not logical) of
%   the same size holding 1 where IN is non-zero and 0 where it is zero.
%   Only the real part of a complex input is looked at; OUT is always real.
%   Inputs of any other class, logical included, are refused.
%
%   Example:
%      tov_makemask(uint8([0 1 2 255]))    % uint8([0 1 1 1])
%
%   See also TOV_RECLASS.
