## run_demo (OUTDIR)
## Runs every demo/demo_*.m in turn; each writes its pictures into OUTDIR
## and says what it did.
function run_demo (outdir)
  if (! exist (outdir, "dir"))
    mkdir (outdir);
  endif
  here = fileparts (mfilename ("fullpath"));
  files = dir (fullfile (here, "demo_*.m"));
  for k = 1:numel (files)
    [~, name] = fileparts (files(k).name);
    printf ("== %s\n", name);
    feval (name, outdir);
  endfor
  printf ("Pictures are in %s\n", outdir);
endfunction
