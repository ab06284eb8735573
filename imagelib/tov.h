/* The image library's operations as the gateways call them.
 *
 * Every operation that can fail returns an error record; a null pointer means
 * success. Objects made with a resource list are registered on it and die
 * with it. Argument orders are fixed: the gateways depend on them. */
#ifndef IMAGELIB_TOV_H
#define IMAGELIB_TOV_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Error record. Only the link to the next record is public; a gateway writes
 * the result of its last clean-up into it so that the raised chain holds the
 * failure followed by any failure of the clean-up. */
typedef struct tov_Error {
  struct tov_Error* next;
} tov_Error;

typedef struct tov_Resources tov_Resources;         /* opaque */
typedef struct tov_ImageRecord* tov_Image;           /* opaque handle */
typedef struct tov_ImageArrayRecord* tov_ImageArray; /* opaque handle */
typedef struct tov_BoundaryArrayRecord* tov_BoundaryArray; /* opaque handle */

/* Strides (in pixels) or sizes, one value per dimension, dimension 0 first. */
typedef struct tov_IntArray {
  int32_t count;
  int32_t* values;
} tov_IntArray;

typedef struct tov_FloatArray {
  int32_t count;
  double* values;
} tov_FloatArray;

/* Data type codes the gateways compare. */
enum { tov_DATATYPE_SFLOAT = 7, tov_DATATYPE_BIN8 = 11 };

tov_Error* tov_ResourcesNew(tov_Resources** resources, int32_t flags);
tov_Error* tov_ResourcesFree(tov_Resources** resources);
void tov_ErrorFree(tov_Error* chain);

tov_Error* tov_Initialise(void);
tov_Error* tov_Exit(void);
tov_Error* tov_RandomSeed(void* random_state, int32_t seed);

tov_Error* tov_ImageGetStride(tov_Image image, tov_IntArray** strides, tov_Resources* resources);
tov_Error* tov_ImageGetDimensions(tov_Image image, tov_IntArray** sizes, tov_Resources* resources);
tov_Error* tov_ImageGetDimensionality(tov_Image image, int32_t* dimensionality);
tov_Error* tov_ImageGetSize(tov_Image image, int32_t* pixel_count);
tov_Error* tov_ImagesCompareTwo(tov_Image image, tov_Image second, int32_t properties, int32_t flags);
tov_Error* tov_ImageGetDataType(tov_Image image, int32_t* type_code);
tov_Error* tov_ImageCopyProperties(tov_Image source, tov_Image target);
tov_Error* tov_ImageSetDataType(tov_Image image, int32_t type_code);
tov_Error* tov_ImageForge(tov_Image image);
tov_Error* tov__ImageGetData(tov_Image image, void** pixel0);

tov_Error* tov_FastMarching_PlaneWave(tov_Image i1, tov_Image i2, tov_Image i3, tov_Image i4,
                                      tov_Image i5, tov_Image i6, tov_Image i7, tov_Image i8,
                                      tov_Image i9);
tov_Error* tov_FastMarching_SphericalWave(tov_Image i1, tov_Image i2, tov_Image i3, tov_Image i4,
                                          tov_Image i5, tov_Image i6, tov_Image i7, tov_Image i8,
                                          tov_Image i9);
tov_Error* tov_UpperEnvelope(tov_Image in, tov_Image out1, tov_Image out2, tov_Image out3,
                             int32_t first, double second, int32_t third);
tov_Error* tov_FloatArrayNew(tov_FloatArray** array, int32_t count, double initial,
                             tov_Resources* resources);
tov_Error* tov_ImageArrayLUT(tov_Image in, tov_Image out, tov_FloatArray* values,
                             tov_ImageArray images, int32_t method);
tov_Error* tov_GlobalBoundaryConditionGet(tov_BoundaryArray* boundary, int32_t selector,
                                          tov_Resources* resources);

#ifdef __cplusplus
}
#endif

#endif
