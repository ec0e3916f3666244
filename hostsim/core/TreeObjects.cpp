// The small objects reached from a document or the application: features,
// the selection, the configuration and its components, the menu frame.
#include "core/AutomationObject.h"
#include "core/Objects.h"

namespace hostsim {

namespace {

using A = ArgType;
using R = ResultType;

// ---- Feature ----

enum : DISPID { kFeatureName = 1, kNextFeature = 3, kFeatureKind = 6 };
const std::vector<Operation> kFeatureOperations = {
    {kFeatureName, DISPATCH_PROPERTYGET, L"FeatureName", {}, R::Bstr},
    {kFeatureName, DISPATCH_PROPERTYPUT, L"FeatureName", {A::Bstr}, R::None},
    {kNextFeature, DISPATCH_METHOD, L"NextFeature", {}, R::Object},
    {kFeatureKind, DISPATCH_METHOD, L"FeatureKind", {}, R::Bstr},
};

// Refers to its feature by id, so a renamed feature is still found and a
// deleted one answers empty text and no next feature.
class FeatureObject final : public AutomationObject {
 public:
  FeatureObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document, int id)
      : AutomationObject(std::move(session), L"Feature", kFeatureOperations), document_(std::move(document)),
        id_(id) {}

 protected:
  void perform(const Operation& op, Call& call) override {
    const PartModel& part = document_->part;
    const Feature* feature = part.find(id_);
    switch (op.id) {
      case kFeatureName:
        if (op.invokeKind == DISPATCH_PROPERTYPUT) {
          document_->part.rename(id_, call.text(0));  // a taken or empty name is refused
          session_->notifyChanged();
        } else {
          call.returnText(feature ? feature->name : L"");
        }
        break;
      case kFeatureKind: call.returnText(feature ? featureKindText(feature->type) : L""); break;
      case kNextFeature: {
        const auto& features = part.features();
        ComRef<IDispatch> next;
        for (size_t i = 0; feature && i + 1 < features.size(); ++i)
          if (features[i].id == id_) next = newFeatureObject(session_, document_, features[i + 1].id);
        call.returnObject(std::move(next));
        break;
      }
    }
  }
  bool usable() const override { return !document_->closed; }

 private:
  std::shared_ptr<Document> document_;
  int id_;
};

// ---- SelectionSet ----

enum : DISPID { kSelectedCount = 1, kSelectedObject = 12 };
const std::vector<Operation> kSelectionOperations = {
    {kSelectedCount, DISPATCH_METHOD, L"SelectedCount", {}, R::I4},
    {kSelectedObject, DISPATCH_METHOD, L"SelectedObject", {A::I4}, R::Object},
};

// A view of the document's current selection.
class SelectionSetObject final : public AutomationObject {
 public:
  SelectionSetObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document)
      : AutomationObject(std::move(session), L"SelectionSet", kSelectionOperations), document_(std::move(document)) {}

 protected:
  void perform(const Operation& op, Call& call) override {
    const std::vector<int>& selection = document_->part.selection();
    if (op.id == kSelectedCount) {
      call.returnInteger(static_cast<long>(selection.size()));
      return;
    }
    const long index = call.integer(0);  // counted from 1
    bool inRange = index >= 1 && static_cast<size_t>(index) <= selection.size();
    call.returnObject(inRange ? newFeatureObject(session_, document_, selection[index - 1]) : nullptr);
  }
  bool usable() const override { return !document_->closed; }

 private:
  std::shared_ptr<Document> document_;
};

// ---- Configuration ----

enum : DISPID { kGetRootComponent = 1 };
const std::vector<Operation> kConfigurationOperations = {
    {kGetRootComponent, DISPATCH_METHOD, L"GetRootComponent", {}, R::Object},
};

class ConfigurationObject final : public AutomationObject {
 public:
  ConfigurationObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document)
      : AutomationObject(std::move(session), L"Configuration", kConfigurationOperations),
        document_(std::move(document)) {}

 protected:
  void perform(const Operation&, Call& call) override {
    // Only an assembly has a component tree.
    const bool hasRoot = document_->kind == kAssemblyKind && !document_->answers.noRootComponent;
    call.returnObject(hasRoot ? newComponentObject(session_, document_, document_->tree) : nullptr);
  }
  bool usable() const override { return !document_->closed; }

 private:
  std::shared_ptr<Document> document_;
};

// ---- Component ----

enum : DISPID { kComponentChildren = 1, kComponentPath = 34 };
const std::vector<Operation> kComponentOperations = {
    {kComponentChildren, DISPATCH_METHOD, L"ComponentChildren", {}, R::Variant},
    {kComponentPath, DISPATCH_METHOD, L"ComponentPath", {}, R::Bstr},
};

// A component of the tree loaded with an open assembly, which it belongs to.
// The root stands for the document itself, so its path follows the document.
class ComponentObject final : public AutomationObject {
 public:
  ComponentObject(std::shared_ptr<Session> session, std::shared_ptr<Document> owner,
                  std::shared_ptr<const Component> node)
      : AutomationObject(std::move(session), L"Component", kComponentOperations), owner_(std::move(owner)),
        node_(std::move(node)) {}

 protected:
  void perform(const Operation& op, Call& call) override {
    if (op.id == kComponentPath) {
      call.returnText(node_ == owner_->tree ? owner_->path : node_->path);
      return;
    }
    VARIANT v;
    VariantInit(&v);  // no children: no array, unless the file asks for an empty one
    const auto& children = node_->children;
    if (!children.empty() || node_->emptyArray) {
      SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(children.size()));
      for (LONG i = 0; i < static_cast<LONG>(children.size()); ++i) {
        const ComRef<IDispatch> child = newComponentObject(session_, owner_, children[static_cast<size_t>(i)]);
        SafeArrayPutElement(array, &i, child.Get());  // the array takes its own reference
      }
      v.vt = VT_ARRAY | VT_DISPATCH;
      v.parray = array;
    }
    call.returnVariant(v);
  }
  bool usable() const override { return !owner_->closed; }

 private:
  std::shared_ptr<Document> owner_;
  std::shared_ptr<const Component> node_;
};

// ---- MenuFrame ----

enum : DISPID { kAddMenuEntry = 1, kAddTopMenu = 2 };
const std::vector<Operation> kMenuOperations = {
    {kAddMenuEntry, DISPATCH_METHOD, L"AddMenuEntry", {A::Bstr, A::Bstr, A::I4, A::Bstr}, R::Bool},
    {kAddTopMenu, DISPATCH_METHOD, L"AddTopMenu", {A::Bstr, A::I4}, R::Bool},
};

// Menus belong to the kind of the document active when they are added; an
// entry needs its menu to have been added first for that kind.
class MenuFrameObject final : public AutomationObject {
 public:
  explicit MenuFrameObject(std::shared_ptr<Session> session)
      : AutomationObject(std::move(session), L"MenuFrame", kMenuOperations) {}

 protected:
  void perform(const Operation& op, Call& call) override {
    auto active = session_->active();
    if (!active) {
      call.returnBoolean(false);
      return;
    }
    const int kind = static_cast<int>(active->kind);
    const std::wstring menu = call.text(0);
    bool ok = op.id == kAddTopMenu ? addTopMenu(kind, menu, call.integer(1))
                                   : addEntry(kind, menu, call.text(1), call.integer(2), call.text(3));
    if (ok) session_->notifyChanged();
    call.returnBoolean(ok);
  }

 private:
  const MenuEntry* findEntry(int kind, const std::wstring& menu, const std::wstring& item, bool top) const {
    for (const MenuEntry& e : session_->menus)
      if (e.documentKind == kind && e.menu == menu && e.item == item && e.topMenu == top) return &e;
    return nullptr;
  }
  bool addTopMenu(int kind, const std::wstring& menu, long position) {
    if (menu.empty()) return false;
    if (!findEntry(kind, menu, L"", true)) session_->menus.push_back({kind, menu, L"", L"", position, true});
    return true;
  }
  bool addEntry(int kind, const std::wstring& menu, const std::wstring& item, long position,
                const std::wstring& callback) {
    if (item.empty() || !findEntry(kind, menu, L"", true) || findEntry(kind, menu, item, false)) return false;
    session_->menus.push_back({kind, menu, item, callback, position, false});
    return true;
  }
};

}  // namespace

ComRef<IDispatch> newFeatureObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document,
                                   int featureId) {
  return ComRef<IDispatch>(new FeatureObject(std::move(session), std::move(document), featureId));
}
ComRef<IDispatch> newSelectionSetObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document) {
  return ComRef<IDispatch>(new SelectionSetObject(std::move(session), std::move(document)));
}
ComRef<IDispatch> newConfigurationObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document) {
  return ComRef<IDispatch>(new ConfigurationObject(std::move(session), std::move(document)));
}
ComRef<IDispatch> newComponentObject(std::shared_ptr<Session> session, std::shared_ptr<Document> owner,
                                     std::shared_ptr<const Component> node) {
  return ComRef<IDispatch>(new ComponentObject(std::move(session), std::move(owner), std::move(node)));
}
ComRef<IDispatch> newMenuFrameObject(std::shared_ptr<Session> session) {
  return ComRef<IDispatch>(new MenuFrameObject(std::move(session)));
}

}  // namespace hostsim
