## Whole-call timing of fieldwarp_spline against interp2's cubic
## interpolation on the same 2048 x 2048 image and smooth field of a few
## pixels, in one run. (Octave's interp2 takes "spline" only on a regular
## grid of positions, not on a displaced one; and its cubic is another
## interpolation, so only the times are compared, not the values.)
##   octave-cli --norc --no-history --quiet bench/bench_fieldwarp_spline.m [build-dir]
addpath (fileparts (mfilename ("fullpath")));
[img, dx, dy, C, R] = warp_bench_data (argv ());
N = rows (img);
sv = cat (3, dx, dy);
X = C + 1 - dx;  Y = R + 1 - dy;  # interp2 counts from 1

t_plugin = best_of (5, @() fieldwarp_spline (img, sv));
t_create = best_of (5, @() create_output_only (img));
t_cubic = best_of (2, @() interp2 (img, X, Y, "cubic", 0));

mpix = N * N / 1e6;
printf ("fieldwarp_spline %8.4f s  %7.1f Mpix/s\n", t_plugin, mpix / t_plugin);
printf ("interp2 cubic    %8.4f s  %7.1f Mpix/s\n", t_cubic, mpix / t_cubic);
printf ("speed-up         %8.1fx\n", t_cubic / t_plugin);
printf ("creating and returning the output alone: %.4f s, %.0f%% of the fieldwarp_spline call\n", ...
        t_create, 100 * t_create / t_plugin);
