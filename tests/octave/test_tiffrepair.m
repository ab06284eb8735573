## Host-level tests of the tiffrepair plug-in.
##
## Real fixtures are written at test time by ImageMagick's convert and
## libtiff's tiffcp, marked as palette with tiffset, and read back with
## tiffdump (where the value fields are) and tiffinfo (what libtiff makes of
## the result). Malformed files are built byte by byte below.

%!function b = u16 (v, mm)
%!  b = typecast (uint16 (v), "uint8");
%!  if (mm)
%!    b = fliplr (b);
%!  endif
%!endfunction

%!function b = u32 (v, mm)
%!  b = typecast (uint32 (v), "uint8");
%!  if (mm)
%!    b = fliplr (b);
%!  endif
%!endfunction

%!function b = header (mm, first)
%!  if (mm)
%!    b = [uint8("MM"), u16(42, true), u32(first, true)];
%!  else
%!    b = [uint8("II"), u16(42, false), u32(first, false)];
%!  endif
%!endfunction

## A directory of SHORT entries, one row [tag value] each, then NEXT.
%!function b = ifd (entries, next, mm)
%!  b = u16 (rows (entries), mm);
%!  for k = 1:rows (entries)
%!    b = [b, u16(entries(k, 1), mm), u16(3, mm), u32(1, mm), u16(entries(k, 2), mm), uint8([0 0])];
%!  endfor
%!  b = [b, u32(next, mm)];
%!endfunction

%!function write_bytes (file, b)
%!  fid = fopen (file, "wb");
%!  fwrite (fid, b, "uint8");
%!  fclose (fid);
%!endfunction

%!function b = read_bytes (file)
%!  fid = fopen (file, "rb");
%!  b = fread (fid, Inf, "uint8=>uint8")';
%!  fclose (fid);
%!endfunction

%!function run_tool (cmd)
%!  [status, out] = system ([cmd " 2>&1"]);
%!  if (status != 0)
%!    error ("fixture command failed: %s\n%s", cmd, out);
%!  endif
%!endfunction

## Zero-based positions of the value fields of the tag-262 entries that hold
## 3, as libtiff's tiffdump lists the directories and their entries.
%!function [fields, mm, ndirs] = palette_fields (file)
%!  [status, out] = system (sprintf ("tiffdump '%s'", file));
%!  assert (status, 0);
%!  mm = ! isempty (strfind (out, "<big-endian>"));
%!  fields = [];
%!  ndirs = 0;
%!  D = -1;
%!  i = 0;
%!  for line = strsplit (out, "\n")
%!    t = regexp (line{1}, '^Directory \d+: offset (\d+)', "tokens", "once");
%!    if (! isempty (t))
%!      D = str2double (t{1});
%!      i = 0;
%!      ndirs++;
%!      continue;
%!    endif
%!    if (D >= 0 && ! isempty (regexp (line{1}, '^\S+ \(\d+\) ', "once")))
%!      if (! isempty (regexp (line{1}, '\(262\) SHORT \(3\) 1<3>', "once")))
%!        fields(end+1) = D + 10 + 12 * i;
%!      endif
%!      i++;
%!    endif
%!  endfor
%!endfunction

## Zero-based positions of the bytes that differ, as a row.
%!function d = changed (before, after)
%!  assert (numel (after), numel (before));
%!  d = reshape (find (before(:) != after(:)) - 1, 1, []);
%!endfunction

## assert with the fixture's name in the failure message.
%!function check (got, want, name)
%!  if (! isequal (got, want))
%!    error ("%s: got %s, expected %s", name, disp (got), disp (want));
%!  endif
%!endfunction

%!function assert_positions (got, want, name)
%!  check (got, reshape (want, 1, []), name);
%!endfunction

## Runs tiffrepair with ARGS and returns what it printed.
%!function out = repair (varargin)
%!  out = evalc ("tiffrepair (varargin{:})");
%!endfunction

%!function v = ifelse_mm (mm)
%!  if (mm)
%!    v = [0 2 0 0];
%!  else
%!    v = [2 0 0 0];
%!  endif
%!endfunction

## What libtiff makes of FILE: how many directories it reads as RGB, and
## whether it had to warn about them.
%!function [n_rgb, warned] = tiffinfo_view (file)
%!  [~, out] = system (sprintf ("tiffinfo '%s' 2>&1", file));
%!  n_rgb = numel (strfind (out, "Photometric Interpretation: RGB color"));
%!  warned = ! isempty (strfind (out, "Warning"));
%!endfunction

%!shared dir, made
%! dir = tempname ();
%! mkdir (dir);
%! made = {};
%! f = @(name) fullfile (dir, name);
%! grad = "-size 8x6 gradient:red-blue";
%! two = "-size 8x6 gradient:red-blue gradient:green-yellow";
%! cmds = {
%!   "ii_strip",  {sprintf("convert %s -depth 8 -define tiff:rows-per-strip=2 '%s'", grad, f("ii_strip.tif")), ...
%!                 sprintf("tiffset -s 262 3 '%s'", f("ii_strip.tif"))};
%!   "mm_strip",  {sprintf("convert %s -depth 8 -define tiff:endian=msb '%s'", grad, f("mm_strip.tif")), ...
%!                 sprintf("tiffset -s 262 3 '%s'", f("mm_strip.tif"))};
%!   "ii_tiled",  {sprintf("convert %s -depth 8 '%s'", grad, f("plain.tif")), ...
%!                 sprintf("tiffcp -t -w 16 -l 16 '%s' '%s'", f("plain.tif"), f("ii_tiled.tif")), ...
%!                 sprintf("tiffset -s 262 3 '%s'", f("ii_tiled.tif"))};
%!   "mm_tiled",  {sprintf("tiffcp -B -t -w 16 -l 16 '%s' '%s'", f("plain.tif"), f("mm_tiled.tif")), ...
%!                 sprintf("tiffset -s 262 3 '%s'", f("mm_tiled.tif"))};
%!   "ii_pages",  {sprintf("convert %s -depth 8 '%s'", two, f("ii_pages.tif")), ...
%!                 sprintf("tiffset -d 0 -s 262 3 '%s'", f("ii_pages.tif")), ...
%!                 sprintf("tiffset -d 1 -s 262 3 '%s'", f("ii_pages.tif"))};
%!   "mm_pages",  {sprintf("convert %s -depth 8 -define tiff:endian=msb '%s'", two, f("mm_pages.tif")), ...
%!                 sprintf("tiffset -d 0 -s 262 3 '%s'", f("mm_pages.tif")), ...
%!                 sprintf("tiffset -d 1 -s 262 3 '%s'", f("mm_pages.tif"))};
%!   "ii_page2",  {sprintf("convert %s -depth 8 '%s'", two, f("ii_page2.tif")), ...
%!                 sprintf("tiffset -d 1 -s 262 3 '%s'", f("ii_page2.tif"))};
%!   "ii_palette", {sprintf("convert %s -depth 8 -type Palette '%s'", grad, f("ii_palette.tif"))};
%!   "mm_palette", {sprintf("convert %s -depth 8 -type Palette -define tiff:endian=msb '%s'", grad, f("mm_palette.tif"))};
%!   "rgb",       {sprintf("cp '%s' '%s'", f("plain.tif"), f("rgb.tif"))};
%!   "grey",      {sprintf("convert %s -colorspace Gray -depth 8 '%s'", grad, f("grey.tif"))};
%!   "bigtiff",   {sprintf("convert %s -depth 8 -type Palette TIFF64:'%s'", grad, f("bigtiff.tif"))};
%! };
%! for k = 1:rows (cmds)
%!   for c = cmds{k, 2}
%!     run_tool (c{1});
%!   endfor
%!   made{end+1} = f([cmds{k, 1} ".tif"]);
%! endfor

%!test
%! ## Every real fixture, in every printing mode: the line printed, and only
%! ## the value fields tiffdump shows as palette changed, to 2 in file order.
%! ## tiffset -s 262 3 leaves three samples per pixel, which libtiff warns
%! ## about; once repaired, it reads every directory as RGB without a warning.
%! rgb_again = {"ii_strip", "mm_strip", "ii_tiled", "mm_tiled", "ii_pages", "mm_pages", "ii_page2"};
%! for k = 1:numel (made)
%!   src = made{k};
%!   [~, name] = fileparts (src);
%!   if (strcmp (name, "bigtiff"))
%!     continue;
%!   endif
%!   [fields, mm, ndirs] = palette_fields (src);
%!   before = read_bytes (src);
%!   [~, warned_before] = tiffinfo_view (src);
%!   if (any (strcmp (name, rgb_again)))
%!     check (warned_before, true, name);
%!   endif
%!   expect = sort (fields + mm);
%!   if (isempty (fields))
%!     line = "Nothing to fix in %s\n";
%!   else
%!     line = "Fixed the file %s\n";
%!   endif
%!   modes = {"", "-v", "-q"};
%!   for m = 1:3
%!     file = fullfile (dir, sprintf ("%s_%d.tif", name, m));
%!     copyfile (src, file);
%!     if (m == 1)
%!       out = repair (file);
%!     else
%!       out = repair (modes{m}, file);
%!     endif
%!     if (m == 3)
%!       assert (out, "");
%!     else
%!       check (out, sprintf (line, file), name);
%!     endif
%!     after = read_bytes (file);
%!     assert_positions (changed (before, after), expect, name);
%!     for p = fields
%!       check (after(p + (1:4)), uint8 (ifelse_mm (mm)), name);
%!     endfor
%!     check (palette_fields (file), [], name);
%!     if (any (strcmp (name, rgb_again)))
%!       [n_rgb, warned] = tiffinfo_view (file);
%!       check ([n_rgb, warned], [ndirs, false], name);
%!     endif
%!   endfor
%! endfor

%!test
%! ## The fixtures are what they claim to be.
%! for name = {"ii_strip", "mm_tiled", "ii_palette"}
%!   assert (numel (palette_fields (fullfile (dir, [name{1} ".tif"])) ), 1);
%! endfor
%! assert (numel (palette_fields (fullfile (dir, "mm_pages.tif"))), 2);
%! [f, mm, n] = palette_fields (fullfile (dir, "ii_page2.tif"));
%! assert ([numel(f), mm, n], [1, 0, 2]);
%! [~, out] = system (sprintf ("tiffinfo '%s' 2>&1", fullfile (dir, "ii_tiled.tif")));
%! assert (! isempty (strfind (out, "Tile Width: 16")));

%!test
%! ## A BigTIFF (version 43) is not a classic TIFF: reported and untouched.
%! file = fullfile (dir, "bigtiff.tif");
%! before = read_bytes (file);
%! assert (before(1:4), uint8 ([73 73 43 0]));
%! assert (repair ("-v", file), sprintf ("Not a TIFF file, bad version number 43 (0x2b)\nProblem reading the file %s\n", file));
%! assert (repair (file), sprintf ("Problem reading the file %s\n", file));
%! assert (repair ("-q", file), "");
%! assert (read_bytes (file), before);

%!test
%! ## Hand-made files: each row is a name, its bytes, the verbose detail
%! ## lines, the summary line, and the value fields (zero-based) that change.
%! P = [256 8; 262 3; 277 3];            # width, palette, samples per pixel
%! R = [256 8; 262 2];
%! tab = {
%!   "bad_magic",   [uint8("XY"), u16(42, false), u32(8, false), ifd(P, 0, false)], ...
%!                  "Not a TIFF file, bad magic number 22872 (0x5958)\n", "Problem reading the file %s\n", [];
%!   "bad_version", [uint8("MM"), u16(41, true), u32(8, true), ifd(P, 0, true)], ...
%!                  "Not a TIFF file, bad version number 41 (0x29)\n", "Problem reading the file %s\n", [];
%!   "short_header", uint8("II*\0\b\0"), "Could not read header.\n", "Problem reading the file %s\n", [];
%!   "empty",        uint8([]), "Could not read header.\n", "Problem reading the file %s\n", [];
%!   "truncated",   [header(false, 8), ifd(P, 0, false)](1:8+2+24+5), ...
%!                  "Could only read 2 of 3 entries in directory at offset 0x8\n", "Fixed the file %s\n", 8+10+12;
%!   "past_end",    [header(true, 4000), ifd(P, 0, true)], ...
%!                  "Could not read directory count.\n", "Problem reading the file %s\n", [];
%!   "count_zero",  [header(false, 8), ifd(zeros(0, 2), 14, false), ifd(P, 0, false)], ...
%!                  "", "Fixed the file %s\n", 14+10+12;
%!   "loop",        [header(true, 8), ifd(P, 8, true)], ...
%!                  "TIFF directory chain loops back to the directory at offset 0x8\n", "Problem reading the file %s\n", 8+10+12;
%!   "loop_of_two", [header(false, 8), ifd(R, 38, false), ifd(P, 8, false)], ...
%!                  "TIFF directory chain loops back to the directory at offset 0x8\n", "Problem reading the file %s\n", 38+10+12;
%!   "fixed_then_bad", [header(false, 8), ifd(P, 9000, false)], ...
%!                  "Could not read directory count.\n", "Problem reading the file %s\n", 8+10+12;
%!   "no_next",     [header(true, 8), ifd(P, 0, true)](1:end-3), "", "Fixed the file %s\n", 8+10+12;
%!   "nothing",     [header(true, 8), ifd(R, 0, true)], "", "Nothing to fix in %s\n", [];
%! };
%! for k = 1:rows (tab)
%!   [name, bytes, detail, summary, fields] = tab{k, :};
%!   mm = numel (bytes) >= 2 && all (bytes(1:2) == uint8 ("MM"));
%!   for verbose = [false true]
%!     file = fullfile (dir, sprintf ("%s_%d.tif", name, verbose));
%!     write_bytes (file, bytes);
%!     if (verbose)
%!       check (repair ("-v", file), [sprintf(detail) sprintf(summary, file)], name);
%!     else
%!       check (repair (file), sprintf (summary, file), name);
%!     endif
%!     after = read_bytes (file);
%!     assert_positions (changed (bytes, after), fields + mm, name);
%!   endfor
%!   write_bytes (file, bytes);
%!   check (repair ("-q", file), "", name);
%!   assert_positions (changed (bytes, read_bytes (file)), fields + mm, name);
%! endfor

%!test
%! ## Files that cannot be opened for reading and writing. As root a mode of
%! ## 0444 does not stop writing, so there the read-only case is a folder
%! ## (which fopen refuses for "r+b" to everyone) and a missing file.
%! missing = fullfile (dir, "no_such_file.tif");
%! assert (repair (missing), sprintf ("Problem opening file %s\n", missing));
%! assert (repair ("-v", dir), sprintf ("Problem opening file %s\n", dir));
%! assert (repair ("-q", dir, missing), "");
%! ## An empty name is a file name too, and names nothing that can be opened.
%! assert (repair (""), "Problem opening file \n");
%! assert (repair ("", missing), sprintf ("Problem opening file \nProblem opening file %s\n", missing));
%! [~, uid] = system ("id -u");
%! if (str2double (uid) != 0)
%!   file = fullfile (dir, "read_only.tif");
%!   copyfile (made{1}, file);
%!   before = read_bytes (file);
%!   chmod_ok = system (sprintf ("chmod 0444 '%s'", file)) == 0;
%!   assert (chmod_ok);
%!   assert (repair (file), sprintf ("Problem opening file %s\n", file));
%!   assert (read_bytes (file), before);
%! endif

%!test
%! ## Options act on the names after them; quiet wins and stays on.
%! ## A looping chain gives both a detail line and a summary line.
%! a = fullfile (dir, "opt_a.tif");  b = fullfile (dir, "opt_b.tif");
%! write_bytes (a, [header(true, 8), ifd([262 2], 8, true)]);
%! write_bytes (b, read_bytes (a));
%! loop = "TIFF directory chain loops back to the directory at offset 0x8\n";
%! bad = "Problem reading the file %s\n";
%! cases = {
%!   {"-v"}, "";
%!   {"-v", "-q", "-", "-x"}, "";
%!   {"-", a}, sprintf(bad, a);
%!   {"-xyz", a}, sprintf(bad, a);
%!   {"-v", a}, [sprintf(loop) sprintf(bad, a)];
%!   {"-V", a}, [sprintf(loop) sprintf(bad, a)];
%!   {"-xvx", a}, [sprintf(loop) sprintf(bad, a)];
%!   {"-q", a}, "";
%!   {"-Q", a}, "";
%!   {"-vq", a}, "";
%!   {"-qv", a}, "";
%!   {"-q", "-v", a}, "";
%!   {"-q", a, "-v", b}, "";
%!   {a, "-v", b}, [sprintf(bad, a) sprintf(loop) sprintf(bad, b)];
%!   {"-v", a, "-q", b}, [sprintf(loop) sprintf(bad, a)];
%!   {a, "-q", b}, sprintf(bad, a);
%! };
%! for k = 1:rows (cases)
%!   check (repair (cases{k, 1}{:}), cases{k, 2}, sprintf ("case %d", k));
%! endfor
%! ## Nothing carries over to the next call.
%! repair ("-q", "-v");
%! assert (repair (a), sprintf (bad, a));
%! repair ("-v");
%! assert (repair (a), sprintf (bad, a));

%!test
%! ## Several files in one call: one line each, in order, each file on its own.
%! files = {};
%! for name = {"ii_strip", "rgb", "bigtiff", "mm_pages"}
%!   files{end+1} = fullfile (dir, [name{1} "_many.tif"]);
%!   copyfile (fullfile (dir, [name{1} ".tif"]), files{end});
%! endfor
%! out = repair (files{:});
%! assert (out, sprintf ("Fixed the file %s\nNothing to fix in %s\nProblem reading the file %s\nFixed the file %s\n", files{:}));
%! ## Run again: all repaired files now have nothing to fix.
%! out = repair (files{:});
%! assert (out, sprintf ("Nothing to fix in %s\nNothing to fix in %s\nProblem reading the file %s\nNothing to fix in %s\n", files{:}));

%!test
%! ## Arguments that are not text name no file: each is skipped with a line
%! ## (none under -q) and the names after it are still handled.
%! a = fullfile (dir, "skip_a.tif");
%! copyfile (made{1}, a);
%! before = read_bytes (a);
%! out = repair (5, {a}, a, int8 (45), true, struct ("f", a));
%! assert (out, sprintf (["Skipping argument 1: not a character array\n" ...
%!                        "Skipping argument 2: not a character array\n" ...
%!                        "Fixed the file %s\n" ...
%!                        "Skipping argument 4: not a character array\n" ...
%!                        "Skipping argument 5: not a character array\n" ...
%!                        "Skipping argument 6: not a character array\n"], a));
%! assert (numel (changed (before, read_bytes (a))), 1);
%! assert (repair ("-q", 5, {a}), "");
%! assert (repair ([]), "Skipping argument 1: not a character array\n");

%!test
%! ## A name of more than 1023 characters is cut there.
%! target = fullfile (dir, "long_name.tif");
%! copyfile (made{1}, target);
%! prefix = [dir "/"];
%! rest = 1023 - numel (prefix) - numel ("long_name.tif");
%! name = [prefix repmat("./", 1, floor (rest / 2)) repmat("/", 1, mod (rest, 2)) "long_name.tif"];
%! assert (numel (name), 1023);
%! assert (exist (name, "file"), 2);
%! out = repair ([name "_and_more_that_is_cut_off"]);
%! assert (out, sprintf ("Fixed the file %s\n", name));
%! assert (repair (name), sprintf ("Nothing to fix in %s\n", name));

%!test
%! assert_error ("Expected at least one input file name.", @tiffrepair);

%!test
%! ## help prints the calling form.
%! txt = evalc ("help tiffrepair");
%! assert (! isempty (strfind (txt, "tiffrepair(FILE1, FILE2, ...)")));

%!test
%! confirm_recursive_rmdir (false, "local");
%! rmdir (dir, "s");
