## A TIFF whose RGB pixels are wrongly labelled as palette colour, the way a
## careless writer leaves it, made with ImageMagick and libtiff's tiffset,
## then repaired in place by tiffrepair.
function demo_tiffrepair (outdir)
  file = fullfile (outdir, "tiffrepair_mislabelled.tif");
  run (sprintf ("convert -size 64x48 gradient:red-blue gradient:yellow-green -depth 8 '%s'", file));
  run (sprintf ("tiffset -d 0 -s 262 3 '%s'", file));
  run (sprintf ("tiffset -d 1 -s 262 3 '%s'", file));
  bytes_before = file_bytes (file);

  printf ("tiffrepair: before the repair, tiffdump and tiffinfo say\n");
  show_photometric (file);
  printf ("  tiffrepair ('-v', file) prints:\n");
  out = evalc ("tiffrepair ('-v', file)");
  printf ("    %s", strrep (out, "\n", "\n    "));
  printf ("\n  after the repair, tiffdump and tiffinfo say\n");
  show_photometric (file);
  bytes_after = file_bytes (file);
  printf ("  %d of %d bytes changed; a second run: %s", nnz (bytes_before != bytes_after), ...
          numel (bytes_before), evalc ("tiffrepair (file)"));
  printf ("  wrote %s\n", file);
endfunction

function run (cmd)
  [status, out] = system ([cmd " 2>&1"]);
  if (status != 0)
    error ("demo_tiffrepair: '%s' failed: %s", cmd, out);
  endif
endfunction

## The stored value as tiffdump shows it, and what tiffinfo says, warnings
## included: libtiff notices three samples per pixel under a palette label.
function show_photometric (file)
  [~, dump] = system (sprintf ("tiffdump '%s' 2>&1", file));
  [~, info] = system (sprintf ("tiffinfo '%s' 2>&1", file));
  lines = [strsplit(dump, "\n"), strsplit(info, "\n")];
  keep = regexp (lines, "Photometric|Warning", "once");
  for k = find (! cellfun (@isempty, keep))
    printf ("    %s\n", strtrim (lines{k}));
  endfor
endfunction

function b = file_bytes (file)
  fid = fopen (file, "rb");
  b = fread (fid, Inf, "uint8=>uint8");
  fclose (fid);
endfunction
