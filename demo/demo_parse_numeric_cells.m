## A few strings and the numbers parse_numeric_cells makes of them, beside
## two byte arrays passed through tov_reclass and tov_makemask.
function demo_parse_numeric_cells (outdir)
  texts = {"42", "  -2.5e-3 ", "1.5", "1,5", "12abc", "12 3", "", "1e400", ...
           "0x1.8p1", "-Inf", "nan", "4.9406564584124654e-324"};
  values = parse_numeric_cells (texts);
  printf ("parse_numeric_cells: %d strings\n", numel (texts));
  for k = 1:numel (texts)
    printf ("  %-28s -> %.15g\n", ["\"" texts{k} "\""], values(k));
  endfor
  signed = int8 ([-128 -1 0 5 127]);
  printf ("tov_reclass(int8([%s])) = uint8([%s])\n", num2str (signed), num2str (tov_reclass (signed)));
  bytes = uint8 ([0 1 2 0 255]);
  printf ("tov_makemask(uint8([%s])) = uint8([%s])\n", num2str (bytes), num2str (tov_makemask (bytes)));
endfunction
