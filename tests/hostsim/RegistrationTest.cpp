// How clients find the host: the running application object under
// "SldWorks.Application", the creatable class "SldPart.Document", their
// revocation, and one registration at a time in a Wine prefix.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

IUnknown* identity(IUnknown* object) {
  IUnknown* unknown = nullptr;
  object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown));
  unknown->Release();
  return unknown;
}

TEST(HostsimRegistration, ProgIdsReachTheApplicationUntilRevoked) {
  CLSID running{}, partClass{};
  for (bool byDestruction : {false, true}) {
    auto sim = std::make_unique<hostsim::Simulator>();
    ASSERT_TRUE(sim->registerRunning());
    ASSERT_TRUE(sim->registerPartDocumentClass());
    ASSERT_EQ(CLSIDFromProgID(L"SldWorks.Application", &running), S_OK);
    ASSERT_EQ(CLSIDFromProgID(L"SldPart.Document", &partClass), S_OK);
    EXPECT_EQ(sim->liveReferences(), 0) << "registration references are the simulator's own";
    IUnknown* active = nullptr;
    IDispatch* created = nullptr;
    ASSERT_EQ(GetActiveObject(running, nullptr, &active), S_OK);
    ASSERT_EQ(CoCreateInstance(partClass, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&created)), S_OK);
    EXPECT_EQ(identity(active), identity(sim->application()));
    EXPECT_EQ(identity(created), identity(sim->application()));
    EXPECT_EQ(sim->liveReferences(), 2);
    active->Release();
    created->Release();
    if (byDestruction) sim.reset();
    else sim->revokeRegistrations();
    EXPECT_NE(GetActiveObject(running, nullptr, &active), S_OK);
    EXPECT_NE(CoCreateInstance(partClass, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&created)), S_OK);
    EXPECT_NE(CLSIDFromProgID(L"SldWorks.Application", &running), S_OK);
  }
}

// A second simulator that registers waits until the first has revoked, so a
// client never reaches a host that is about to go away.
TEST(HostsimRegistration, SecondRegistrationWaitsForTheFirstToRevoke) {
  HANDLE registered = CreateEventW(nullptr, TRUE, FALSE, nullptr), release = CreateEventW(nullptr, TRUE, FALSE, nullptr),
         secondRegistered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool> revoked{false};
  std::thread first([&] {
    hostsim::Simulator sim;  // each simulator on a thread of its own: its own apartment
    EXPECT_TRUE(sim.registerRunning());
    SetEvent(registered);
    WaitForSingleObject(release, 10000);
    revoked = true;
    sim.revokeRegistrations();
  });
  ASSERT_EQ(WaitForSingleObject(registered, 10000), WAIT_OBJECT_0);
  std::thread second([&] {
    hostsim::Simulator sim;
    EXPECT_TRUE(sim.registerRunning());
    SetEvent(secondRegistered);
    EXPECT_TRUE(revoked) << "registered before the first simulator revoked";
    CLSID clsid{};
    IUnknown* running = nullptr;
    ASSERT_EQ(CLSIDFromProgID(L"SldWorks.Application", &clsid), S_OK);
    ASSERT_EQ(GetActiveObject(clsid, nullptr, &running), S_OK);
    EXPECT_EQ(identity(running), identity(sim.application()));
    running->Release();
  });
  EXPECT_EQ(WaitForSingleObject(secondRegistered, 300), WAIT_TIMEOUT) << "the second did not wait";
  SetEvent(release);
  second.join();
  first.join();
  for (HANDLE event : {registered, release, secondRegistered}) CloseHandle(event);
}

}  // namespace
