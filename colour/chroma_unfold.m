%CHROMA_UNFOLD  Map colour lightness from a triangular source gamut onto a mesh gamut.
%   OUT = chroma_unfold(X, A, B, MESH, PIVOT_L, PIVOT_C, TOP_L, BOTTOM_L)
%
%   X is an M-by-N real double matrix of lightness values; A and B hold the
%   two opponent coordinates of the same colours (chroma is hypot(A, B), hue
%   atan2(B, A)). MESH describes the destination gamut surface, one triangle
%   per column: rows 1-3, 4-6 and 7-9 are its three vertices as
%   (lightness, a, b); rows 10-14 are carried along and ignored.
%
%   In each hue plane the source gamut is the triangle with corners
%   (chroma 0, TOP_L), (PIVOT_C, PIVOT_L) and (chroma 0, BOTTOM_L). For
%   every colour the mesh is cut by the half-plane of its hue; the upper and
%   lower mesh boundary at the colour's chroma are found (100 and 0 where the
%   mesh gives none, a later triangle overriding an earlier one), and the
%   lightness is stretched linearly about PIVOT_L so that the source edge at
%   that chroma lands on the mesh boundary. A lightness at or below PIVOT_L
%   uses the lower edge. OUT is M-by-N and holds the mapped lightness only;
%   chroma and hue are unchanged.
%
%   A, B, PIVOT_L, PIVOT_C, TOP_L and BOTTOM_L are read element by element,
%   in storage order, and need at least numel(X) elements each; their shapes
%   do not matter. All inputs must be real, full double arrays. Degenerate
%   cases are not reported: a zero divisor gives Inf or NaN in OUT, as does a
%   mesh segment of constant chroma at the colour's chroma (typically colours
%   exactly on the lightness axis against a mesh with vertices on the axis).
%
%   Example: map a slice of colours onto an octahedral gamut
%      ring = [50 70 0; 50 0 70; 50 -70 0; 50 0 -70];
%      mesh = zeros (14, 8);
%      for k = 1:4
%        n = mod (k, 4) + 1;
%        mesh(1:9, 2*k-1) = [100 0 0, ring(k, :), ring(n, :)]';
%        mesh(1:9, 2*k)   = [ring(k, :), 0 0 0, ring(n, :)]';
%      end
%      L = chroma_unfold ([90 30], [12 12], [16 16], mesh, [50 50], [100 100], [100 100], [0 0]);
%      % L is [80 35] (up to rounding)
%
%   See also HYPOT, ATAN2.
