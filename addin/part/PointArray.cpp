#include "part/PointArray.h"

#include <new>

PointArray::PointArray(SketchPoint point) {
  VariantInit(&value_);
  SAFEARRAYBOUND bound{3, 0};
  array_.reset(SafeArrayCreate(VT_R8, 1, &bound));
  if (!array_) throw std::bad_alloc();
  const double coordinates[3] = {point.x, point.y, 0.0};
  for (LONG i = 0; i < 3; ++i) {
    double value = coordinates[i];
    if (FAILED(SafeArrayPutElement(array_.get(), &i, &value))) throw std::bad_alloc();
  }
  slot_ = array_.get();
  value_.vt = VT_ARRAY | VT_BYREF | VT_R8;
  value_.pparray = &slot_;
}
