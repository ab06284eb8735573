## assert_error (TEXT, FCN, ARGS...)
## Call FCN with ARGS and require that it fails with exactly TEXT, shown the
## way the host shows a plug-in's error: "NAME: TEXT".  For a named function
## NAME must be its own name; for an anonymous one any plug-in name is taken.
function assert_error (text, fcn, varargin)
  name = func2str (fcn);
  try
    fcn (varargin{:});
  catch err
    msg = err.message;
    if (name(1) == "@")
      msg = regexprep (msg, '^\w+: ', '', 'once');
      ok = strcmp (msg, text);
    else
      ok = strcmp (msg, [name ": " text]);
    endif
    if (! ok)
      error ("assert_error: %s failed with '%s', expected '%s'", name, err.message, text);
    endif
    return;
  end_try_catch
  error ("assert_error: %s did not fail; expected '%s'", name, text);
endfunction
