## tiffrepair on a batch of 1,000 small mislabelled TIFFs in one call,
## against what a user would do without it: libtiff's tiffset -s 262 2 run
## once per file from a shell loop. Time per file and the ratio, in one run.
##   octave-cli --norc --no-history --quiet bench/bench_tiffrepair.m [build-dir]
args = argv ();
build = "build";
if (! isempty (args))
  build = args{1};
endif
addpath (fullfile (build, "mex"));

dir = tempname ();
mkdir (dir);
src = fullfile (dir, "src.tif");
[s1, o1] = system (sprintf ("convert -size 16x16 gradient:red-blue -depth 8 '%s' 2>&1", src));
[s2, o2] = system (sprintf ("tiffset -s 262 3 '%s' 2>&1", src));
if (s1 || s2)
  error ("bench_tiffrepair: could not make the fixture: %s %s", o1, o2);
endif
fid = fopen (src, "rb");  bytes = fread (fid, Inf, "uint8=>uint8");  fclose (fid);

n = 1000;
files = arrayfun (@(k) fullfile (dir, sprintf ("f%04d.tif", k)), 1:n, "UniformOutput", false);
function reset_files (files, bytes)
  for k = 1:numel (files)
    fid = fopen (files{k}, "wb");  fwrite (fid, bytes, "uint8");  fclose (fid);
  endfor
endfunction

t_repair = Inf;
for rep = 1:5
  reset_files (files, bytes);
  tic;
  tiffrepair ("-q", files{:});
  t_repair = min (t_repair, toc);
endfor
## Every file was really repaired.
fid = fopen (files{end}, "rb");  after = fread (fid, Inf, "uint8=>uint8");  fclose (fid);
assert (nnz (after != bytes), 1);

## tiffset is a process per file; 200 files are enough for its per-file time.
m = 200;
reset_files (files(1:m), bytes);
list = fullfile (dir, "list.txt");
fid = fopen (list, "w");  fprintf (fid, "%s\n", files{1:m});  fclose (fid);
tic;
status = system (sprintf ("while read f; do tiffset -s 262 2 \"$f\" 2>/dev/null; done < '%s'", list));
t_tiffset = toc;
assert (status, 0);
d = stat (files{1});

per_repair = t_repair / n;
per_tiffset = t_tiffset / m;
printf ("tiffrepair, %d files in one call  %8.1f us per file\n", n, 1e6 * per_repair);
printf ("tiffset -s 262 2, one per file     %8.1f us per file (%d files)\n", 1e6 * per_tiffset, m);
printf ("ratio                              %8.0fx\n", per_tiffset / per_repair);
printf ("file size: %d bytes before; after tiffrepair %d, after tiffset %d\n", ...
        numel (bytes), numel (after), d.size);

confirm_recursive_rmdir (false, "local");
rmdir (dir, "s");
