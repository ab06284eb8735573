## Host-level tests of the chroma_unfold plug-in.

%!function mesh = octahedron_mesh ()
%!  ## Poles at lightness 0 and 100, equator corners at lightness 50 and
%!  ## chroma 70 on the a and b axes; one triangle per column.
%!  ring = [50 70 0; 50 0 70; 50 -70 0; 50 0 -70];
%!  mesh = zeros (14, 8);
%!  for k = 1:4
%!    n = mod (k, 4) + 1;
%!    mesh(1:9, 2*k-1) = [100 0 0, ring(k, :), ring(n, :)]';
%!    mesh(1:9, 2*k)   = [ring(k, :), 0 0 0, ring(n, :)]';
%!  endfor
%!endfunction

%!shared mesh, x, a, b, p
%! mesh = octahedron_mesh ();
%! x = [90 30; 50 80];
%! a = [12 12; 12 24];
%! b = [16 16; 16 32];
%! p = {50 * ones(2), 100 * ones(2), 100 * ones(2), zeros(2)};

%!test
%! ## Bad calls, each breaking only its own check, in order of precedence.
%! args = {x, a, b, mesh, 50 * ones(2), 100 * ones(2), 100 * ones(2), zeros(2)};
%! usage = "Usage: out = chroma_unfold(x, a, b, mesh, pivot_L, pivot_C, top_L, bottom_L).";
%! xmsg = "input x must be a matrix of scalars.";
%! names = {"", "a", "b", "mesh", "pivot_L", "pivot_C", "top_L", "bottom_L"};
%! cases = {usage, {};
%!          usage, args(1:7);
%!          xmsg, [{{1}}, args(2:end)];
%!          xmsg, [{"ab"}, args(2:end)];
%!          xmsg, [{true(2)}, args(2:end)];
%!          xmsg, [{complex(x, 1)}, args(2:end)];
%!          xmsg, [{sparse(x)}, args(2:end)];
%!          xmsg, [{single(x)}, args(2:end)];
%!          xmsg, [{int16(x)}, args(2:end)];
%!          "input mesh must have 14 rows, one triangle per column.", [args(1:3), {mesh(1:13, :)}, args(5:end)];
%!          "input mesh must have 14 rows, one triangle per column.", [args(1:3), {[]}, args(5:end)];
%!          "input mesh must have 14 rows, one triangle per column.", [args(1:3), {mesh'}, args(5:end)]};
%! for k = [2 3 5 6 7 8]
%!   for bad = {single(args{k}), complex(args{k}, 1), sparse(args{k}), int8(args{k}), {1}, "abcd", true(2)}
%!     wrong = args;
%!     wrong{k} = bad{1};
%!     cases(end+1, :) = {sprintf("input %s must be a real, full double array.", names{k}), wrong};
%!   endfor
%!   short = args;
%!   short{k} = ones (1, 3);
%!   cases(end+1, :) = {sprintf("input %s must have at least as many elements as x.", names{k}), short};
%! endfor
%! for bad = {single(mesh), complex(mesh, 1), sparse(mesh), int8(mesh), num2cell(mesh)}
%!   wrong = args;
%!   wrong{4} = bad{1};
%!   cases(end+1, :) = {"input mesh must be a real, full double array.", wrong};
%! endfor
%! for k = 1:rows (cases)
%!   assert_error (cases{k, 1}, @chroma_unfold, cases{k, 2}{:});
%! endfor

%!test
%! ## The output count is checked first, even before the input count.
%! msg = "chroma_unfold: only five output arguments allowed.";
%! try
%!   [o1, o2] = chroma_unfold (x);
%!   error ("no error");
%! catch err
%!   assert (err.message, msg);
%! end_try_catch
%! try
%!   [o1, o2] = chroma_unfold (x, a, b, mesh, p{:});
%!   error ("no error");
%! catch err
%!   assert (err.message, msg);
%! end_try_catch

%!test
%! ## x is tested before the other inputs, and a before b.
%! assert_error ("input x must be a matrix of scalars.", @chroma_unfold, single (x), single (a), b, [], p{:});
%! assert_error ("input a must be a real, full double array.", @chroma_unfold, x, single (a), single (b), mesh, p{:});

%!test
%! ## The octahedron worked by hand: boundary 100 - r above and r below at
%! ## hue atan2(4, 3), source edges 100 - r/2 and r/2.
%! out = chroma_unfold (x, a, b, mesh, p{:});
%! assert (class (out), "double");
%! assert (isreal (out));
%! assert (size (out), [2 2]);
%! assert (out, [80 35; 50 60], 1e-9);

%!test
%! ## Per-element inputs are read by index: their shapes do not matter, extra
%! ## elements are ignored, and scalars serve a single colour.
%! out = chroma_unfold (x, a(:)', [b(:); 99], mesh, 50 * ones (1, 4), 100 * ones (4, 1), ...
%!                      100 * ones (2, 2, 1), [0 0 0 0 7]);
%! assert (out, [80 35; 50 60], 1e-9);
%! assert (chroma_unfold (90, 12, 16, mesh, 50, 100, 100, 0), 80, 1e-9);
%! ## More than eight inputs: the extra ones are not read.
%! assert (chroma_unfold (x, a, b, mesh, p{:}, "ignored"), [80 35; 50 60], 1e-9);

%!test
%! ## x of more than two dimensions gives M rows and the product of the rest.
%! X = 50 * ones (2, 3, 4);
%! out = chroma_unfold (X, ones (1, 24), ones (1, 24), mesh, 50 * ones (1, 24), ...
%!                      100 * ones (1, 24), 100 * ones (1, 24), zeros (1, 24));
%! assert (size (out), [2 12]);
%! assert (out, 50 * ones (2, 12));

%!test
%! ## Empty x gives an empty M-by-N output; the other inputs may then be empty.
%! assert (size (chroma_unfold (zeros (0, 3), [], [], mesh, [], [], [], [])), [0 3]);
%! assert (size (chroma_unfold (zeros (3, 0), [], [], zeros (14, 0), [], [], [], [])), [3 0]);

%!test
%! ## A mesh with no triangles: boundaries 100 and 0.  50 + 10*50/25, and
%! ## the divisor E_top - pivot_L = 0 at r = pivot_C gives Inf.
%! out = chroma_unfold ([60 40 60], [25 25 50], [0 0 0], zeros (14, 0), ...
%!                      [50 50 50], [50 50 50], [100 100 100], [0 0 0]);
%! assert (out(1:2), [70 30]);
%! assert (out(3), Inf);

%!test
%! ## A 14-by-K-by-2 mesh counts 2K triangles; rows 10-14 are not read.
%! m3 = reshape (mesh, 14, 4, 2);
%! m3(10:14, :, :) = NaN;
%! assert (chroma_unfold (x, a, b, m3, p{:}), chroma_unfold (x, a, b, mesh, p{:}));

%!test
%! ## More than a thousand segments in one hue plane: the last one decides.
%! m = repmat (octahedron_mesh (), 1, 200);
%! last = m(:, 1);
%! last([1 4 7]) = last([1 4 7]) - 10;  # the upper face of the first sector, lowered by 10
%! m(:, end+1) = last;
%! assert (chroma_unfold (90, 12, 16, m, p{:}), 70, 1e-9);

%!test
%! ## The inputs are never written.
%! x0 = x;  a0 = a;  b0 = b;  m0 = mesh;
%! chroma_unfold (x, a, b, mesh, p{:});
%! assert (x, x0);  assert (a, a0);  assert (b, b0);  assert (mesh, m0);

%!test
%! ## help prints the calling form.
%! txt = evalc ("help chroma_unfold");
%! assert (! isempty (strfind (txt, "OUT = chroma_unfold(X, A, B, MESH, PIVOT_L, PIVOT_C, TOP_L, BOTTOM_L)")));
