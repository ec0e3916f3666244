// How clients find the host: the running application object under
// "SldWorks.Application", the creatable class "SldPart.Document", their
// revocation, and one registration at a time in a Wine prefix.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "hostsim/HostTestSupport.h"

namespace {

IUnknown* identity(IUnknown* object) {
  ComRef<IUnknown> unknown;
  object->QueryInterface(IID_IUnknown, unknown.PutVoid());
  return unknown.Get();
}

// Both ProgIDs reach the application until the simulator revokes them, by
// revokeRegistrations or as it is destroyed; a second simulator that
// registers meanwhile waits, so a client never reaches a host about to go.
TEST(HostsimRegistration, ProgIdsReachTheApplicationUntilRevokedOneSimulatorAtATime) {
  CLSID running{}, partClass{};
  auto first = std::make_unique<hostsim::Simulator>();
  ASSERT_TRUE(first->registerRunning() && first->registerPartDocumentClass());
  ASSERT_EQ(CLSIDFromProgID(L"SldWorks.Application", &running), S_OK);
  ASSERT_EQ(CLSIDFromProgID(L"SldPart.Document", &partClass), S_OK);
  EXPECT_EQ(first->liveReferences(), 0) << "registration references are the simulator's own";
  ComRef<IUnknown> active;
  ComRef<IDispatch> created;
  ASSERT_EQ(GetActiveObject(running, nullptr, active.Put()), S_OK);
  ASSERT_EQ(CoCreateInstance(partClass, nullptr, CLSCTX_ALL, IID_IDispatch, created.PutVoid()), S_OK);
  EXPECT_EQ(identity(active.Get()), identity(first->application()));
  EXPECT_EQ(identity(created.Get()), identity(first->application()));
  EXPECT_EQ(first->liveReferences(), 2);
  active.Reset();
  created.Reset();

  HANDLE secondRegistered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool> firstGone{false};
  std::thread second([&] {  // a thread of its own: its own apartment, as another process would have
    hostsim::Simulator sim;
    EXPECT_TRUE(sim.registerRunning());
    SetEvent(secondRegistered);
    EXPECT_TRUE(firstGone) << "registered before the first simulator was gone";
    ComRef<IUnknown> found;
    ComRef<IDispatch> part;
    ASSERT_EQ(GetActiveObject(running, nullptr, found.Put()), S_OK);
    EXPECT_EQ(identity(found.Get()), identity(sim.application()));
    EXPECT_NE(CoCreateInstance(partClass, nullptr, CLSCTX_ALL, IID_IDispatch, part.PutVoid()), S_OK);
    found.Reset();
    sim.revokeRegistrations();
    EXPECT_NE(GetActiveObject(running, nullptr, found.Put()), S_OK);
    EXPECT_NE(CLSIDFromProgID(L"SldWorks.Application", &running), S_OK);
  });
  EXPECT_EQ(WaitForSingleObject(secondRegistered, 300), WAIT_TIMEOUT) << "the second did not wait";
  firstGone = true;
  first.reset();
  second.join();
  CloseHandle(secondRegistered);
}

}  // namespace
