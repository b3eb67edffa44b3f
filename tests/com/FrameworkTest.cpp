// The framework's parts in this process, without a DLL between: what the
// server tests cannot see from outside.
#include <gtest/gtest.h>
#include <objbase.h>

#include <atomic>
#include <functional>
#include <thread>

#include "base/COMError.h"
#include "com/Factory.h"
#include "com/IUnknownImpl.h"
#include "com/IUnknownInstance.h"
#include "com/Module.h"
#include "tests/com/TestClasses.h"

using brix::IUnknownImpl;
using brix::liveObjectCount;
using testing_com::TestObject;

namespace {

static_assert(sizeof(brix::IUnknownInstance<TestObject>) == sizeof(TestObject), "IUnknownInstance adds no data");

// Counts its destructions; its destructor takes and drops a reference of its
// own, as code reached from a destructor may.
class Watched : public IUnknownImpl {
 public:
  explicit Watched(int& destroyed) : IUnknownImpl(nullptr), destroyed_(destroyed) {}
  ~Watched() override {
    ++destroyed_;
    IUnknownImpl::AddRef();
    IUnknownImpl::Release();
  }

 private:
  int& destroyed_;
};

TEST(IUnknownImpl, StartsWithOneReferenceAndDiesAtZero) {
  int destroyed = 0;
  const LONG before = liveObjectCount();
  auto* const object = new Watched(destroyed);
  EXPECT_EQ(liveObjectCount(), before + 1);
  EXPECT_EQ(object->AddRef(), 2u);
  EXPECT_EQ(object->Release(), 1u);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(object->Release(), 0u);
  // Once, although the destructor itself released a reference.
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(liveObjectCount(), before);
}

TEST(IUnknownImpl, AnswersIUnknownWithItselfAndNothingElse) {
  auto* const object = new IUnknownImpl(nullptr);
  void* result = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IUnknown, &result), S_OK);
  EXPECT_EQ(result, static_cast<void*>(static_cast<IUnknown*>(object)));
  EXPECT_EQ(object->Release(), 1u);  // the reference QueryInterface added
  result = object;
  EXPECT_EQ(object->QueryInterface(IID_IClassFactory, &result), E_NOINTERFACE);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  EXPECT_EQ(object->Release(), 0u);
}

TEST(CreateInstanceImpl, ReturnsTheIUnknownImplPartWithOneReference) {
  const LONG before = liveObjectCount();
  IUnknown* const created = TestObject::createInstance(nullptr);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(liveObjectCount(), before + 1);
  void* identity = nullptr;
  ASSERT_EQ(created->QueryInterface(IID_IUnknown, &identity), S_OK);
  EXPECT_EQ(identity, static_cast<void*>(created));
  void* persist = nullptr;
  ASSERT_EQ(created->QueryInterface(IID_IPersist, &persist), S_OK);
  EXPECT_EQ(persist,
            static_cast<void*>(static_cast<IPersist*>(static_cast<TestObject*>(static_cast<IUnknownImpl*>(created)))));
  static_cast<IPersist*>(persist)->Release();
  EXPECT_EQ(created->Release(), 1u);
  EXPECT_EQ(created->Release(), 0u);
  EXPECT_EQ(liveObjectCount(), before);
}

TEST(CreateInstanceImpl, AConstructorsExceptionLeavesNothingAlive) {
  const LONG before = liveObjectCount();
  EXPECT_THROW(testing_com::RefusingObject::createInstance(nullptr), brix::WindowsError);
  EXPECT_EQ(liveObjectCount(), before);
}

IUnknown* createNothing(IUnknown*) {
  return nullptr;
}

const CLSID clsidFirst = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
const CLSID clsidNothing = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x56}};

const brix::ClassEntry table[] = {
    {&clsidFirst, L"First", &TestObject::createInstance},
    {&clsidNothing, L"Nothing", &createNothing},
};

TEST(Module, TheNewestIsCurrentUntilItGoes) {
  {
    brix::Module outer(table, 2);
    EXPECT_EQ(&brix::Module::current(), &outer);
    {
      brix::Module inner(table, 1);
      EXPECT_EQ(&brix::Module::current(), &inner);
    }
  }
  try {
    brix::Module::current();
    FAIL() << "a module remained current";
  } catch (const brix::COMError& e) {
    EXPECT_EQ(e.hresult(), E_UNEXPECTED);
  }
}

TEST(Module, OnlyTheCountedRowsAreSearched) {
  brix::Module module(table, 1);
  void* result = nullptr;
  EXPECT_EQ(module.getClassObject(clsidNothing, IID_IClassFactory, &result), CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_EQ(module.getClassObject(clsidFirst, IID_IClassFactory, &result), S_OK);
  static_cast<IClassFactory*>(result)->Release();
}

TEST(Module, UnlockBelowZeroThrowsAndKeepsTheCount) {
  brix::Module module(table, 2);
  module.lock();
  EXPECT_EQ(module.lockCount(), 1);
  module.unlock();
  EXPECT_EQ(module.lockCount(), 0);
  EXPECT_THROW(module.unlock(), brix::COMError);
  EXPECT_EQ(module.lockCount(), 0);
}

// Waits for done without giving up the processor at first, so that two
// threads released together run on together; a machine with one processor
// is given it back soon.
void spinUntil(const std::function<bool()>& done) {
  for (int spins = 0; !done(); ++spins) {
    if (spins > 100000) std::this_thread::yield();
  }
}

// Two clients that unlock the last lock at the same moment: exactly one
// unlocks it, and the count never goes below 0. The two meet before each
// round's unlock, many rounds over, so that they meet inside it.
TEST(Module, TheLastLockIsUnlockedOnceWhenTwoThreadsTryAtOnce) {
  brix::Module module(table, 2);
  constexpr int rounds = 5000;
  std::atomic<int> arrived[2] = {0, 0};
  std::atomic<int> unlocked{0};
  const auto unlockInRound = [&](int self, int round) {
    arrived[self] = round;
    spinUntil([&] { return arrived[1 - self] >= round; });
    try {
      module.unlock();
      ++unlocked;
    } catch (const brix::COMError&) {
    }
  };
  std::atomic<int> helperDone{0};
  std::thread helper([&] {
    for (int round = 1; round <= rounds; ++round) {
      unlockInRound(1, round);
      helperDone = round;
    }
  });
  int doubleUnlocks = 0;
  for (int round = 1; round <= rounds; ++round) {
    module.lock();
    unlockInRound(0, round);
    spinUntil([&] { return helperDone >= round; });
    if (unlocked.exchange(0) != 1 || module.lockCount() != 0) ++doubleUnlocks;
    while (module.lockCount() < 0) module.lock();
  }
  helper.join();
  EXPECT_EQ(doubleUnlocks, 0) << "rounds where both threads unlocked the one lock";
}

TEST(Module, CanUnloadFollowsLiveObjectsAndLocks) {
  brix::Module module(table, 2);
  ASSERT_EQ(liveObjectCount(), 0);
  EXPECT_EQ(module.canUnloadNow(), S_OK);
  auto* const object = new IUnknownImpl(nullptr);
  EXPECT_EQ(module.canUnloadNow(), S_FALSE);
  module.lock();
  object->Release();
  EXPECT_EQ(module.canUnloadNow(), S_FALSE);
  module.unlock();
  EXPECT_EQ(module.canUnloadNow(), S_OK);
}

TEST(Factory, ACreatorThatGivesNothingIsOutOfMemory) {
  brix::Module module(table, 2);
  void* result = nullptr;
  ASSERT_EQ(module.getClassObject(clsidNothing, IID_IClassFactory, &result), S_OK);
  auto* const factory = static_cast<IClassFactory*>(result);
  void* object = factory;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &object), E_OUTOFMEMORY);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(factory->Release(), 0u);
}

TEST(Factory, LockServerWorksOnTheCurrentModule) {
  brix::Module first(table, 2);
  brix::Factory* const factory = new brix::Factory(&TestObject::createInstance);
  brix::Module second(table, 2);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(second.lockCount(), 1);
  EXPECT_EQ(first.lockCount(), 0);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), E_UNEXPECTED);
  factory->Release();
}

TEST(Factory, LockServerWithoutAModuleIsUnexpected) {
  brix::Factory* const factory = new brix::Factory(&TestObject::createInstance);
  EXPECT_EQ(factory->LockServer(TRUE), E_UNEXPECTED);
  factory->Release();
}

}  // namespace
