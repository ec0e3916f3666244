// The RAII owners: each releases exactly once, put() releases before
// handing out the slot, and moves transfer ownership.
#include <gtest/gtest.h>

#include "ScriptedDispatch.h"
#include "host/Bstr.h"
#include "host/ComRef.h"
#include "host/SafeArray.h"
#include "host/Variant.h"

namespace {

TEST(ComRefOwner, PutReleasesTheHeldReferenceFirst) {
  ScriptedDispatch object;
  object.AddRef();
  ComRef<IDispatch> ref(&object);
  EXPECT_EQ(object.references(), 2);
  IDispatch** slot = ref.put();
  EXPECT_EQ(object.references(), 1);
  EXPECT_EQ(*slot, nullptr);
}

TEST(ComRefOwner, BorrowAddsAReferenceAndMoveTransfersIt) {
  ScriptedDispatch object;
  {
    ComRef<IDispatch> a = ComRef<IDispatch>::Borrow(&object);
    ComRef<IDispatch> b = std::move(a);
    EXPECT_FALSE(a);
    EXPECT_EQ(object.references(), 2);
    ComRef<IUnknown> unknown = b.query<IUnknown>();
    EXPECT_EQ(object.references(), 3);
  }
  EXPECT_EQ(object.references(), 1);
}

TEST(BstrOwner, CopiesTextWithAccentsAndEmbeddedNul) {
  std::wstring text(L"Pi\u00e8ce\0x", 7);
  Bstr s = Bstr::Copy(text);
  EXPECT_EQ(SysStringLen(s.get()), 7u);
  EXPECT_EQ(s.str(), text);
  EXPECT_EQ(Bstr().str(), L"");
  BSTR raw = s.release();
  EXPECT_EQ(s.get(), nullptr);
  SysFreeString(raw);
}

TEST(VariantOwner, ClearingReleasesAHeldObject) {
  ScriptedDispatch object;
  {
    Variant v;
    object.AddRef();
    v.put()->vt = VT_DISPATCH;
    const_cast<VARIANT&>(v.get()).pdispVal = &object;
    EXPECT_EQ(object.references(), 2);
    v.put();  // put clears first
    EXPECT_EQ(object.references(), 1);
    EXPECT_TRUE(v.empty());
  }
  EXPECT_EQ(object.references(), 1);
}

TEST(SafeArrayOwner, DestroyingAnArrayOfObjectsReleasesThem) {
  ScriptedDispatch object;
  {
    SafeArray array(SafeArrayCreateVector(VT_DISPATCH, 0, 2));
    for (LONG i = 0; i < 2; ++i) SafeArrayPutElement(array.get(), &i, static_cast<IDispatch*>(&object));
    EXPECT_EQ(object.references(), 3);
    SafeArrayLockGuard lock(array.get());
    EXPECT_TRUE(lock.locked());
  }
  EXPECT_EQ(object.references(), 1);
}

}  // namespace
