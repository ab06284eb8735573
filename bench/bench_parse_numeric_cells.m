## Whole-call timing of parse_numeric_cells against str2double on the same
## cell array of 10^6 mixed realistic strings (integers, fixed-point and
## scientific numbers, padded numbers, blanks and words), best of 3 runs.
## Octave's MEX layer wraps every cell in a host array on first access and
## frees them all after the call; that cost is part of what is measured.
## Run from the repository root after a build:
##   octave-cli --norc --no-history --quiet bench/bench_parse_numeric_cells.m
1;
addpath (fullfile (pwd, "build", "mex"));
addpath (fileparts (mfilename ("fullpath")));
rand ("seed", 3);
n = 1e6;
m = n / 10;
v = (rand (1, m) - 0.3) .* 10 .^ (6 * rand (1, m));
## Ten kinds in turn, as a column of a text file would hold them; the cells
## are made in order, so they lie in memory in order, as read data does.
fmt = "%d\n%.2f\n%.6f\n%.4e\n%.17g\n  %g \n%.3f\n%d\nn/a\n\n";
c = ostrsplit (sprintf (fmt, [round(v); v; v; v * 1e-9; v; v; v / 1000; round(v / 7)]), "\n");
c = c(1:n);

ours = parse_numeric_cells (c);
theirs = str2double (c);
same = isequaln (ours, theirs);
t_ours = best_of (3, @() parse_numeric_cells (c));
t_theirs = best_of (3, @() str2double (c));
printf ("%d strings, results identical to str2double: %d\n", n, same);
printf ("parse_numeric_cells  %8.3f s  %6.2f Mstrings/s\n", t_ours, n / t_ours * 1e-6);
printf ("str2double           %8.3f s  %6.2f Mstrings/s\n", t_theirs, n / t_theirs * 1e-6);
printf ("speed-up             %8.1fx\n", t_theirs / t_ours);
