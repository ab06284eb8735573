/* The image library's file-format companion: start and stop only. */
#ifndef IMAGELIB_TOVIO_H
#define IMAGELIB_TOVIO_H

#include "imagelib/tov.h"

#ifdef __cplusplus
extern "C" {
#endif

tov_Error* tovio_Initialise(void);
tov_Error* tovio_Exit(void);

#ifdef __cplusplus
}
#endif

#endif
