## Fourier transform of a small synthetic picture on a polar grid of
## frequencies, through spectrum_at_knots (Gaussian pre-correction, an
## oversampled FFT and knotspectrum), checked against direct summation.
function demo_knotspectrum (outdir)
  N = 48;
  img = synthetic_image (N);
  nr = 96;  na = 180;
  [R, A] = ndgrid (linspace (0, 0.5, nr), (0:na-1) * pi / na);
  knots = [R(:)' .* cos(A(:)'); R(:)' .* sin(A(:)')];   # [u; v], cycles per pixel

  tic;  F = spectrum_at_knots (img, knots);  t_grid = toc;
  tic;
  r = (0:N-1)' - floor (N / 2);
  c = (0:N-1) - floor (N / 2);
  direct = sum ((exp (-2i * pi * knots(2, :)' * r') * img) .* exp (-2i * pi * knots(1, :)' * c), 2);
  t_direct = toc;
  err = max (abs (F - direct)) / sum (abs (img(:)));

  polar = reshape (log1p (abs (F)), nr, na);
  imwrite (img, fullfile (outdir, "knotspectrum_input.png"));
  imwrite (polar / max (polar(:)), fullfile (outdir, "knotspectrum_polar_spectrum.png"));
  printf ("knotspectrum: %dx%d picture at %d polar frequencies (radius x angle %dx%d)\n", ...
          N, N, columns (knots), nr, na);
  printf ("  gridding %.3f s, direct summation %.3f s; largest difference %.2g of sum(|img|)\n", ...
          t_grid, t_direct, err);
  printf ("  wrote knotspectrum_input.png, knotspectrum_polar_spectrum.png (log magnitude)\n");
endfunction
