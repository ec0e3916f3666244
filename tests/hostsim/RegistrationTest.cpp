// How clients find the host: the running application object under
// "SldWorks.Application", the creatable class "SldPart.Document", and their
// revocation.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "hostsim/HostTestSupport.h"
#include "core/Simulator.h"

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

namespace {

// A second simulator that registers waits until the first has revoked, so a
// client never reaches a host that is about to go away.
TEST(HostsimRegistration, SecondRegistrationWaitsForTheFirstToRevoke) {
  HANDLE registered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool> revoked{false};
  std::thread first([&] {
    hostsim::Simulator sim;  // its own apartment on this thread
    EXPECT_TRUE(sim.registerRunning());
    SetEvent(registered);
    WaitForSingleObject(release, 10000);
    revoked = true;
    sim.revokeRegistrations();
  });
  ASSERT_EQ(WaitForSingleObject(registered, 10000), WAIT_OBJECT_0);
  hostsim::Simulator second;
  std::thread releaser([&] {
    Sleep(300);
    SetEvent(release);
  });
  EXPECT_TRUE(second.registerRunning());
  EXPECT_TRUE(revoked) << "registered before the first simulator revoked";
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(L"SldWorks.Application", &clsid), S_OK);
  IUnknown* running = nullptr;
  ASSERT_EQ(GetActiveObject(clsid, nullptr, &running), S_OK);
  EXPECT_EQ(identity(running), identity(second.application()));
  running->Release();
  releaser.join();
  first.join();
  CloseHandle(registered);
  CloseHandle(release);
}

}  // namespace
