## The picture pushed along the swirl: every pixel is added where the field
## sends it, so places that several pixels reach grow brighter and places
## that none reach stay black.
function demo_scatter_sum (outdir)
  N = 256;
  img = synthetic_image (N);
  ## swirl_field says where each output pixel pulls from; pushing every pixel
  ## the opposite way turns the picture the same way round, but whole-pixel
  ## targets pack some pixels together and leave holes between others.
  sv = -swirl_field (N, 2.5);
  out = scatter_sum (img, sv(:, :, 1), sv(:, :, 2));
  hits = scatter_sum (ones (N), sv(:, :, 1), sv(:, :, 2));

  imwrite (min (out / 3, 1), fullfile (outdir, "scatter_sum_result.png"));
  imwrite (hits / max (hits(:)), fullfile (outdir, "scatter_sum_hits.png"));
  printf ("scatter_sum: %dx%d picture pushed along a swirl of up to %.1f pixels\n", ...
          N, N, max (hypot (sv(:, :, 1)(:), sv(:, :, 2)(:))));
  printf ("  %d targets get nothing, %d get one pixel, %d get two or more (up to %d)\n", ...
          nnz (hits == 0), nnz (hits == 1), nnz (hits >= 2), max (hits(:)));
  printf ("  %.1f%% of the picture's total lands inside\n", 100 * sum (out(:)) / sum (img(:)));
  printf ("  wrote scatter_sum_result.png (a third) and scatter_sum_hits.png (pixels per target)\n");
endfunction
