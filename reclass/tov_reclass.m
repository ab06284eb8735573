%TOV_RECLASS  Signed integer array as the unsigned class of the same width.
%   OUT = tov_reclass(IN)
%
%   Returns a copy of IN's bytes under a new class, with no arithmetic:
%   int8 becomes uint8, int16 becomes uint16 and int32 becomes uint32, so
%   int8(-1) comes back as uint8(255) and int8(-128) as uint8(128). Arrays
%   of the other numeric classes (double, single, int64, and the unsigned
%   classes) come back unchanged. OUT has the size of IN.
%
%   Only the real part of a complex input is copied; OUT is always real.
%   Logical, char, cell, struct, function handle and sparse inputs are
%   refused.
%
%   Example:
%      tov_reclass(int16([-1 0 1]))    % uint16([65535 0 1])
%
%   See also TOV_MAKEMASK, TYPECAST.
