## Whole-call timing of tov_reclass and tov_makemask on 10^8 bytes against
## a plain copy of the same bytes in Octave (a copy forced by writing one
## element of a shared array), best of 3 runs.
## Run from the repository root after a build:
##   octave-cli --norc --no-history --quiet bench/bench_reclass.m
1;
addpath (fullfile (pwd, "build", "mex"));
addpath (fileparts (mfilename ("fullpath")));
n = 1e8;
rand ("seed", 5);
bytes = uint8 (floor (256 * rand (1, n)));
signed = int8 (double (bytes) - 128);

function t = copy_time (a)
  tic;
  b = a;
  b(1) = 0;   # the assignment makes Octave copy the whole array
  t = toc;
endfunction

t_copy = min (arrayfun (@(k) copy_time (bytes), 1:3));
t_reclass = best_of (3, @() tov_reclass (signed));
t_mask = best_of (3, @() tov_makemask (bytes));
printf ("plain copy     %7.3f s  %6.2f GB/s\n", t_copy, n / t_copy * 1e-9);
printf ("tov_reclass    %7.3f s  %6.2f GB/s  (%.2f of the copy's speed)\n", t_reclass, n / t_reclass * 1e-9, t_copy / t_reclass);
printf ("tov_makemask   %7.3f s  %6.2f GB/s  (%.2f of the copy's speed)\n", t_mask, n / t_mask * 1e-9, t_copy / t_mask);
