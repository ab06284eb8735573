%TIFFREPAIR  Rewrite palette-colour TIFF files to RGB in place.
%   tiffrepair(FILE1, FILE2, ...)
%   tiffrepair('-v', FILE1, ...)
%   tiffrepair('-q', FILE1, ...)
%
%   Every argument is a file name or an option. For each named file the
%   header and the whole chain of image directories are read, and every
%   PhotometricInterpretation entry (tag 262) whose value is 3 (palette
%   colour) is rewritten to 2 (RGB). Only those 4-byte value fields are
%   written; nothing else in the file changes, and the file keeps its size.
%   Both byte orders ('II' and 'MM') are handled; BigTIFF files are not
%   (they are reported as having a bad version number).
%
%   One line is printed per file:
%      Fixed the file NAME            at least one value was rewritten
%      Nothing to fix in NAME         no palette value was found
%      Problem reading the file NAME  the walk ended in an error (values
%                                     rewritten before it stay rewritten)
%      Problem opening file NAME      the file cannot be opened for reading
%                                     and writing (missing, read-only, a folder)
%
%   Options begin with '-' and act on the file names after them:
%      -v  also print what went wrong, and where, in each file
%      -q  print nothing at all, for the rest of the call (wins over -v)
%   Other letters are ignored. A name that begins with '-' is always taken
%   as an option. An argument that is not a character array is skipped with
%   the line "Skipping argument N: not a character array" (unless -q); no
%   file is opened for it. Names longer than 1023 characters are cut there.
%
%   A directory chain that comes back to a directory already read, or that
%   is longer than 1048576 directories, ends the walk as a problem.
%
%   Example: repair every TIFF in a folder, quietly
%      f = dir ('*.tif');
%      tiffrepair ('-q', f.name);
%
%   See also IMREAD, IMFINFO.
