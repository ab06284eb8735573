/* The bridge between host arrays and library images. Conversions register
 * what they make on the given resource list; arrays written into output
 * slots belong to the host and outlive the list. The predicates return
 * nonzero for yes. */
#ifndef IMAGELIB_ZEL_H
#define IMAGELIB_ZEL_H

#include <stdint.h>

#include "imagelib/tov.h"
#include "mex.h"

#ifdef __cplusplus
extern "C" {
#endif

/* 0 or 1: whether the running host uses the new logical style. */
extern int32_t newLogicalStyle;
/* The random-generator state handed to tov_RandomSeed. */
extern int32_t zel_random_var;

tov_Error* zel_Initialise(void);
tov_Error* zel_Exit(void);
/* A terminated text of the whole chain. */
const char* zel_PrintErrorStruct(tov_Error* chain, int32_t first, int32_t second);

tov_Error* zel_mex2tov(const mxArray* array, tov_Image* image, tov_Resources* resources);
tov_Error* zel_mex2tovArray(const mxArray* array, tov_ImageArray* images, tov_Resources* resources);
tov_Error* zel_newtov(tov_Image* image, tov_Resources* resources);
tov_Error* zel_tov2mex(tov_Image image, mxArray** slot);
tov_Error* zel_2mex_boundaryarray(tov_BoundaryArray boundary, mxArray** slot);

int32_t zel_mxIsIntScalar(const mxArray* array);
int32_t zel_mxIsScalar(const mxArray* array);
int32_t zel_mxIsVector(const mxArray* array);
int32_t zel_mxIsCharString(const mxArray* array);
int32_t zel_mxIsEmptyImage(const mxArray* array);

#ifdef __cplusplus
}
#endif

#endif
