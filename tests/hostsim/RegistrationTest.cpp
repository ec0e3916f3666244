// How clients find the host: the running application object under
// "SldWorks.Application", the creatable class "SldPart.Document", and their
// revocation.
#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "Simulator.h"

using namespace hosttest;

namespace {

IUnknown* identity(IUnknown* object) {
  IUnknown* unknown = nullptr;
  object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown));
  unknown->Release();
  return unknown;
}

TEST(HostsimRegistration, RunningApplicationIsFoundByProgId) {
  hostsim::Simulator sim;
  ASSERT_TRUE(sim.registerRunning());
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(L"SldWorks.Application", &clsid), S_OK);
  const long base = sim.liveReferences();
  IUnknown* running = nullptr;
  ASSERT_EQ(GetActiveObject(clsid, nullptr, &running), S_OK);
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  running->Release();
  EXPECT_EQ(identity(dispatch), identity(sim.application()));
  EXPECT_EQ(sim.liveReferences(), base + 1);
  dispatch->Release();
  EXPECT_EQ(sim.liveReferences(), base);
  EXPECT_EQ(base, 0) << "registration references are the simulator's own";

  sim.revokeRegistrations();
  running = nullptr;
  EXPECT_NE(GetActiveObject(clsid, nullptr, &running), S_OK);
  EXPECT_NE(CLSIDFromProgID(L"SldWorks.Application", &clsid), S_OK);
  EXPECT_EQ(sim.liveReferences(), 0);
}

TEST(HostsimRegistration, PartDocumentClassCreatesAnObjectServingAsTheApplication) {
  const TempFolder folder;
  const std::wstring part = folder.file(L"p.SLDPRT");
  ASSERT_TRUE(hostsim::writePartFixture(part, L"plate"));
  hostsim::Simulator sim;
  ASSERT_TRUE(sim.registerPartDocumentClass());
  ASSERT_TRUE(sim.open(part));
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(L"SldPart.Document", &clsid), S_OK);
  IDispatch* created = nullptr;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&created)), S_OK);
  {
    Obj doc = objectOf(get(created, dispid::ActiveDocument));
    EXPECT_EQ(textOf(method(doc.get(), dispid::DocumentPath)), part);
  }
  created->Release();
  sim.revokeRegistrations();
  created = nullptr;
  EXPECT_NE(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&created)), S_OK);
}

TEST(HostsimRegistration, DestructionRevokes) {
  CLSID clsid{};
  {
    hostsim::Simulator sim;
    ASSERT_TRUE(sim.registerRunning());
    ASSERT_EQ(CLSIDFromProgID(L"SldWorks.Application", &clsid), S_OK);
  }
  IUnknown* running = nullptr;
  EXPECT_NE(GetActiveObject(clsid, nullptr, &running), S_OK);
}

}  // namespace
