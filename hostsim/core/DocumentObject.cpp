// The document object: one object answers the model, part and assembly
// operations, as the host's document does.
#include "core/AutomationObject.h"
#include "core/Objects.h"

namespace hostsim {

namespace {

enum : DISPID {
  // Part operations
  kFirstFeature = 4,
  kExtrudeSketch = 9,
  kPartBoundingBox = 15,
  kFinishPartEdit = 17,
  // Assembly operations
  kPrepareComponents = 56,
  // Model operations
  kGetSelectionSet = 0x10001,
  kCreateLine = 0x1000C,
  kSaveToPath = 0x10025,
  kDocumentPath = 0x10048,
  kDocumentKind = 0x10049,
  kRebuildModel = 0x1008B,
  kToggleSketch = 0x1008F,
  kActiveSketch = 0x100A8,
  kSelectByName = 0x100AC,
  kSaveDocument = 0x100DA,
  kSetSketchDirect = 0x100DF,
  kDocumentFlag = 0x100E1,
  kDeleteSelection = 0x1010E,
  kActiveConfiguration = 0x10131,
};

using A = ArgType;
using R = ResultType;
const std::vector<Operation> kOperations = {
    {kFirstFeature, DISPATCH_METHOD, L"FirstFeature", {}, R::Object},
    {kExtrudeSketch, DISPATCH_METHOD, L"ExtrudeSketch",
     {A::Bool, A::Bool, A::Bool, A::I4, A::I4, A::R8, A::R8, A::Bool, A::Bool, A::Bool, A::Bool, A::R8, A::R8,
      A::Bool, A::Bool},
     R::None},
    {kPartBoundingBox, DISPATCH_METHOD, L"PartBoundingBox", {A::Bool}, R::Variant},
    {kFinishPartEdit, DISPATCH_METHOD, L"FinishPartEdit", {}, R::None},
    {kPrepareComponents, DISPATCH_METHOD, L"PrepareComponents", {A::Bool}, R::I4},
    {kGetSelectionSet, DISPATCH_PROPERTYGET, L"GetSelectionSet", {}, R::Object},
    {kCreateLine, DISPATCH_METHOD, L"CreateLine", {A::PointRef, A::PointRef}, R::Bool},
    {kSaveToPath, DISPATCH_METHOD, L"SaveToPath", {A::Bstr}, R::Bool},
    {kDocumentPath, DISPATCH_METHOD, L"DocumentPath", {}, R::Bstr},
    {kDocumentKind, DISPATCH_METHOD, L"DocumentKind", {}, R::I4},
    {kRebuildModel, DISPATCH_METHOD, L"RebuildModel", {}, R::None},
    {kToggleSketch, DISPATCH_METHOD, L"ToggleSketch", {}, R::None},
    {kActiveSketch, DISPATCH_METHOD, L"ActiveSketch", {}, R::Object},
    {kSelectByName, DISPATCH_METHOD, L"SelectByName", {A::Bstr, A::Bstr, A::R8, A::R8, A::R8}, R::Bool},
    {kSaveDocument, DISPATCH_METHOD, L"SaveDocument", {}, R::None},
    {kSetSketchDirect, DISPATCH_METHOD, L"SetSketchDirect", {A::Bool}, R::None},
    {kDocumentFlag, DISPATCH_PROPERTYPUT, L"DocumentFlag", {A::Bool}, R::None},
    {kDeleteSelection, DISPATCH_METHOD, L"DeleteSelection", {A::Bool}, R::Bool},
    {kActiveConfiguration, DISPATCH_METHOD, L"ActiveConfiguration", {}, R::Object},
};

// A point the call checked already: three doubles from index 0, by reference.
bool readPoint(const VARIANT& v, double& x, double& y) {
  LONG ix = 0, iy = 1;
  return SUCCEEDED(SafeArrayGetElement(*v.pparray, &ix, &x)) && SUCCEEDED(SafeArrayGetElement(*v.pparray, &iy, &y));
}

VARIANT boxVariant(const Box& box) {
  const double values[6] = {box.low.x, box.low.y, box.low.z, box.high.x, box.high.y, box.high.z};
  SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, 6);
  for (LONG i = 0; i < 6; ++i) SafeArrayPutElement(array, &i, const_cast<double*>(&values[i]));
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_R8;
  v.parray = array;
  return v;
}

class DocumentObject final : public AutomationObject {
 public:
  DocumentObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document)
      : AutomationObject(std::move(session), L"Document", kOperations), document_(std::move(document)) {}

 protected:
  void perform(const Operation& op, Call& call) override {
    Document& d = *document_;
    PartModel& part = d.part;
    switch (op.id) {
      case kFirstFeature:
        call.returnObject(d.kind == kPartKind && !part.features().empty()
                              ? newFeatureObject(session_, document_, part.features().front().id)
                              : nullptr);
        break;
      case kExtrudeSketch:
        part.extrudeSelection(call.boolean(0), call.boolean(1), call.boolean(2), call.number(5), call.number(6));
        session_->notifyChanged();
        break;
      case kPartBoundingBox: {
        Box box = part.body().box();
        if (box.empty) box.include(Vec3{});
        call.returnVariant(boxVariant(box));
        break;
      }
      case kFinishPartEdit:
      case kSetSketchDirect:
      case kDocumentFlag:
        break;  // accepted; nothing in the model depends on them
      case kPrepareComponents: call.returnInteger(static_cast<long>(d.components.size())); break;
      case kGetSelectionSet: call.returnObject(newSelectionSetObject(session_, document_)); break;
      case kCreateLine: {
        double x0, y0, x1, y1;
        bool ok = readPoint(call.variant(0), x0, y0) && readPoint(call.variant(1), x1, y1) &&
                  part.addLine({x0, y0, x1, y1});
        call.returnBoolean(ok);
        break;
      }
      case kSaveToPath: call.returnBoolean(session_->saveAs(d, call.text(0))); break;
      case kDocumentPath: call.returnText(d.path); break;
      case kDocumentKind: call.returnInteger(d.kind); break;
      case kRebuildModel:
        if (d.kind == kPartKind) part.rebuild();
        session_->notifyChanged();  // the body the main window shows
        break;
      case kToggleSketch: part.toggleSketch(); break;
      case kActiveSketch:
        call.returnObject(part.openSketch() ? newFeatureObject(session_, document_, part.openSketch()) : nullptr);
        break;
      case kSelectByName: call.returnBoolean(part.selectByName(call.text(0), call.text(1))); break;
      case kSaveDocument: session_->save(d); break;
      case kDeleteSelection: call.returnBoolean(part.deleteSelection()); break;
      case kActiveConfiguration:
        call.returnObject(d.answers.noConfiguration ? nullptr : newConfigurationObject(session_, document_));
        break;
    }
  }
  bool usable() const override { return !document_->closed; }

 private:
  std::shared_ptr<Document> document_;
};

}  // namespace

ComRef<IDispatch> newDocumentObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document) {
  return ComRef<IDispatch>(new DocumentObject(std::move(session), std::move(document)));
}

}  // namespace hostsim
