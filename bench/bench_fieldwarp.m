## Whole-call timing of fieldwarp against interp2 on the same 2048 x 2048
## image and smooth field of a few pixels, in one run.
##   octave-cli --norc --no-history --quiet bench/bench_fieldwarp.m [build-dir]
addpath (fileparts (mfilename ("fullpath")));
[img, dx, dy, C, R] = warp_bench_data (argv ());
N = rows (img);
sv = cat (3, dx, dy);
X = C + 1 - dx;  Y = R + 1 - dy;  # interp2 counts from 1

t_plugin = best_of (7, @() fieldwarp (img, sv));
t_create = best_of (7, @() create_output_only (img));
t_interp = best_of (2, @() interp2 (img, X, Y, "linear", 0));

mpix = N * N / 1e6;
printf ("fieldwarp        %8.4f s  %7.1f Mpix/s\n", t_plugin, mpix / t_plugin);
printf ("interp2 linear   %8.4f s  %7.1f Mpix/s\n", t_interp, mpix / t_interp);
printf ("speed-up         %8.1fx\n", t_interp / t_plugin);
printf ("creating and returning the output alone: %.4f s, %.0f%% of the fieldwarp call\n", ...
        t_create, 100 * t_create / t_plugin);
