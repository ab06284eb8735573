## t = best_of (K, F)
## The shortest of K timed calls of F, in seconds.
function t = best_of (k, f)
  t = Inf;
  for i = 1:k
    tic; f (); t = min (t, toc);
  endfor
endfunction
