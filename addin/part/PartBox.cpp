#include "part/PartBox.h"

#include <cmath>

#include "host/HostCallError.h"
#include "host/HostOperations.h"
#include "host/SafeArray.h"
#include "part/EnvelopeMarkers.h"

namespace {

[[noreturn]] void RefuseBoxAnswer(const wchar_t* why) {
  throw HostCallError(DISP_E_TYPEMISMATCH, hostops::PartBoundingBox.name, why);
}

// One element of the box array as a double, whatever numeric form the host
// chose for the array's elements.
double BoxElement(SAFEARRAY* array, VARTYPE elementType, LONG index) {
  if (elementType == VT_R8) {
    double value = 0.0;
    if (FAILED(SafeArrayGetElement(array, &index, &value))) RefuseBoxAnswer(L"box array too short");
    return value;
  }
  Variant element;
  if (FAILED(SafeArrayGetElement(array, &index, element.put()))) RefuseBoxAnswer(L"box array too short");
  Variant number;
  if (FAILED(VariantChangeType(number.put(), &const_cast<VARIANT&>(element.get()), 0, VT_R8)))
    RefuseBoxAnswer(L"box value is not a number");
  return number.get().dblVal;
}

}  // namespace

PartBox ReadPartBox(const PartDocument& part) {
  Variant answer = part.PartBoundingBox(true);
  VARTYPE type = answer.type();
  if (!(type & VT_ARRAY) || (type & VT_BYREF)) RefuseBoxAnswer(L"no box array");
  VARTYPE elementType = static_cast<VARTYPE>(type & VT_TYPEMASK);
  if (elementType != VT_R8 && elementType != VT_VARIANT) RefuseBoxAnswer(L"box array of another type");

  // The array is ours once read: take it out of the answer so it is
  // destroyed exactly once, on every way out.
  VARIANT raw = answer.release();
  SafeArray array(raw.parray);
  if (!array || SafeArrayGetDim(array.get()) != 1) RefuseBoxAnswer(L"no box array");
  LONG lowBound = 0;
  SafeArrayGetLBound(array.get(), 1, &lowBound);
  if (lowBound != 0) RefuseBoxAnswer(L"box array does not start at 0");

  double b[6];
  {
    SafeArrayLockGuard lock(array.get());
    for (LONG i = 0; i < 6; ++i) b[i] = BoxElement(array.get(), elementType, i);
  }
  return PartBox{b[0], b[1], b[2], b[3], b[4], b[5]};
}

SketchPoint EnvelopeLowLow(const PartBox& box) { return {box.b0 - envelopeMargin, box.b1 - envelopeMargin}; }
SketchPoint EnvelopeLowHigh(const PartBox& box) { return {box.b0 - envelopeMargin, box.b4 + envelopeMargin}; }
SketchPoint EnvelopeHighLow(const PartBox& box) { return {box.b3 + envelopeMargin, box.b1 - envelopeMargin}; }
SketchPoint EnvelopeHighHigh(const PartBox& box) { return {box.b3 + envelopeMargin, box.b4 + envelopeMargin}; }

ExtrusionValues EnvelopeExtrusion(const PartBox& box) {
  // A box without thickness along z is extruded without the extent flag;
  // the distances are taken from the bounds all the same.
  const bool extent = box.b5 - box.b2 > 0.0;
  ExtrusionValues values{};
  values.value1 = false;
  values.extentFlag2 = extent;
  values.extentFlag3 = extent;
  values.value4 = 0;
  values.value5 = 0;
  // The sketch plane passes through the model's origin: the distance to
  // each z bound is its absolute value.
  values.depthTowardsLow = std::fabs(box.b2) + envelopeMargin;
  values.depthTowardsHigh = std::fabs(box.b5) + envelopeMargin;
  values.value8 = false;
  values.value9 = false;
  values.value10 = true;
  values.value11 = true;
  values.value12 = 0.0;
  values.value13 = 0.0;
  values.value14 = true;
  values.value15 = true;
  return values;
}
