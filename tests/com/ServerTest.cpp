// Drives the test server DLL as the shell drives an in-process server:
// LoadLibrary, the exports through GetProcAddress, then the interfaces.
#include <gtest/gtest.h>
#include <objbase.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/com/TestInterfaces.h"

using testing_com::clsidRefusingObject;
using testing_com::clsidTestObject;
using testing_com::clsidUnknown;

namespace {

// As a caller written in C declares them: ids by pointer, so that they can be null.
using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(const CLSID*, const IID*, void**);
using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();
using CountFunction = LONG(WINAPI*)();
using ModuleHandleFunction = HINSTANCE(WINAPI*)();
using ActionFunction = void(WINAPI*)();

// IClassFactory as a caller written in C sees it: the same slots, the
// interface pointer first, ids by pointer.
struct ClassFactoryCVtbl {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(IClassFactory*, const IID*, void**);
  ULONG(STDMETHODCALLTYPE* AddRef)(IClassFactory*);
  ULONG(STDMETHODCALLTYPE* Release)(IClassFactory*);
  HRESULT(STDMETHODCALLTYPE* CreateInstance)(IClassFactory*, IUnknown*, const IID*, void**);
  HRESULT(STDMETHODCALLTYPE* LockServer)(IClassFactory*, BOOL);
};

const ClassFactoryCVtbl& cVtbl(IClassFactory* factory) {
  return **reinterpret_cast<ClassFactoryCVtbl**>(factory);
}

// Any non-null value, to see a result pointer being cleared.
void* const garbage = reinterpret_cast<void*>(static_cast<INT_PTR>(0x5A5A5A5A));

std::string serverPath() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1) + QUARNEL_TEST_SERVER;
}

template <class F>
F exported(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A fresh load of the server for every test, so that each starts with no
// object alive and no lock.
class Server : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryA(serverPath().c_str());
    ASSERT_NE(module, nullptr) << serverPath() << ": error " << GetLastError();
    getClassObject = exported<GetClassObjectFunction>(module, "DllGetClassObject");
    canUnloadNow = exported<CanUnloadNowFunction>(module, "DllCanUnloadNow");
    liveObjects = exported<CountFunction>(module, "TestLiveObjectCount");
    lockCount = exported<CountFunction>(module, "TestLockCount");
    failNextAllocation = exported<ActionFunction>(module, "TestFailNextAllocation");
    ASSERT_TRUE(getClassObject && canUnloadNow && liveObjects && lockCount && failNextAllocation);
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }

  IClassFactory* factory(const CLSID& clsid = clsidTestObject) {
    void* result = nullptr;
    EXPECT_EQ(getClassObject(&clsid, &__uuidof(IClassFactory), &result), S_OK);
    return static_cast<IClassFactory*>(result);
  }

  HMODULE module = nullptr;
  GetClassObjectFunction getClassObject = nullptr;
  CanUnloadNowFunction canUnloadNow = nullptr;
  CountFunction liveObjects = nullptr;
  CountFunction lockCount = nullptr;
  ActionFunction failNextAllocation = nullptr;
};

// A caller's outer unknown that records every call made to it.
struct RecordingOuter : IUnknown {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** result) override {
    ++calls;
    *result = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++calls, 1; }
  ULONG STDMETHODCALLTYPE Release() override { return ++calls, 1; }
  int calls = 0;
};

// --- The exports

TEST_F(Server, DllMainStoresTheModuleHandle) {
  const auto moduleHandle = exported<ModuleHandleFunction>(module, "TestModuleHandle");
  ASSERT_NE(moduleHandle, nullptr);
  EXPECT_EQ(moduleHandle(), module);
}

TEST_F(Server, ExportsAreFoundByTheirPlainNames) {
  for (const char* name : {"DllGetClassObject", "DllCanUnloadNow"}) {
    EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
  }
}

TEST_F(Server, AFactoryHeldKeepsTheServerLoaded) {
  EXPECT_EQ(canUnloadNow(), S_OK);
  IClassFactory* const held = factory();
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(liveObjects(), 1);
  EXPECT_EQ(canUnloadNow(), S_FALSE);
  EXPECT_EQ(held->Release(), 0u);
  EXPECT_EQ(liveObjects(), 0);
  EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, EveryCallMakesANewFactory) {
  IClassFactory* const first = factory();
  IClassFactory* const second = factory();
  EXPECT_NE(first, second);
  EXPECT_EQ(liveObjects(), 2);
  first->Release();
  second->Release();
}

TEST_F(Server, TheFactoryCanBeAskedForAsIUnknown) {
  void* result = nullptr;
  ASSERT_EQ(getClassObject(&clsidTestObject, &IID_IUnknown, &result), S_OK);
  auto* const unknown = static_cast<IUnknown*>(result);
  void* asFactory = nullptr;
  ASSERT_EQ(unknown->QueryInterface(IID_IClassFactory, &asFactory), S_OK);
  static_cast<IClassFactory*>(asFactory)->Release();
  EXPECT_EQ(unknown->Release(), 0u);
  EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, EveryRowOfTheTableIsFound) {
  IClassFactory* const refusing = factory(clsidRefusingObject);
  ASSERT_NE(refusing, nullptr);
  refusing->Release();
}

TEST_F(Server, AnInterfaceTheFactoryLacksLeavesNoFactoryAlive) {
  void* result = garbage;
  EXPECT_EQ(getClassObject(&clsidTestObject, &__uuidof(IPersist), &result), E_NOINTERFACE);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(liveObjects(), 0);
  EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, AClassOutsideTheTableIsNotAvailable) {
  void* result = nullptr;
  EXPECT_EQ(getClassObject(&clsidUnknown, &IID_IClassFactory, &result), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(result, nullptr);
  // All sixteen bytes count: the last one differing is another class.
  CLSID almost = clsidTestObject;
  almost.Data4[7] ^= 1;
  EXPECT_EQ(getClassObject(&almost, &IID_IClassFactory, &result), CLASS_E_CLASSNOTAVAILABLE);
  almost = clsidTestObject;
  almost.Data1 ^= 0x80000000u;
  EXPECT_EQ(getClassObject(&almost, &IID_IClassFactory, &result), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(liveObjects(), 0);
}

TEST_F(Server, NullArgumentsOfGetClassObjectGiveEPointer) {
  void* result = nullptr;
  EXPECT_EQ(getClassObject(nullptr, &IID_IClassFactory, &result), E_POINTER);
  EXPECT_EQ(getClassObject(&clsidTestObject, nullptr, &result), E_POINTER);
  EXPECT_EQ(getClassObject(&clsidTestObject, &IID_IClassFactory, nullptr), E_POINTER);
  EXPECT_EQ(getClassObject(nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(liveObjects(), 0);
}

TEST_F(Server, AFailedFactoryAllocationGivesEOutOfMemory) {
  void* result = garbage;
  failNextAllocation();
  EXPECT_EQ(getClassObject(&clsidTestObject, &IID_IClassFactory, &result), E_OUTOFMEMORY);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(liveObjects(), 0);
  // Only that one allocation failed.
  IClassFactory* const next = factory();
  ASSERT_NE(next, nullptr);
  next->Release();
}

// --- The factory

TEST_F(Server, TheFactorysIdentityIsStableAndNotItsClassFactoryPointer) {
  IClassFactory* const held = factory();
  void* first = nullptr;
  void* second = nullptr;
  ASSERT_EQ(held->QueryInterface(IID_IUnknown, &first), S_OK);
  ASSERT_EQ(held->QueryInterface(IID_IUnknown, &second), S_OK);
  EXPECT_EQ(first, second);
  EXPECT_NE(first, static_cast<void*>(held));
  // Back from the identity to the same IClassFactory.
  void* again = nullptr;
  ASSERT_EQ(static_cast<IUnknown*>(first)->QueryInterface(IID_IClassFactory, &again), S_OK);
  EXPECT_EQ(again, static_cast<void*>(held));
  // All of them share one count: the three references taken above, then the first.
  static_cast<IUnknown*>(first)->Release();
  static_cast<IUnknown*>(second)->Release();
  static_cast<IClassFactory*>(again)->Release();
  EXPECT_EQ(held->Release(), 0u);
  EXPECT_EQ(liveObjects(), 0);
}

TEST_F(Server, FactoryQueryInterfaceNeedsAResultPointer) {
  IClassFactory* const held = factory();
  EXPECT_EQ(held->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  EXPECT_EQ(cVtbl(held).QueryInterface(held, nullptr, nullptr), E_POINTER);
  void* result = garbage;
  EXPECT_EQ(held->QueryInterface(__uuidof(IPersist), &result), E_NOINTERFACE);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(held->Release(), 0u);
}

TEST_F(Server, CreateInstanceHandsOutTheObject) {
  IClassFactory* const held = factory();
  void* result = nullptr;
  ASSERT_EQ(held->CreateInstance(nullptr, __uuidof(ITestCounter), &result), S_OK);
  auto* const counter = static_cast<ITestCounter*>(result);
  EXPECT_EQ(counter->next(), 1);
  EXPECT_EQ(counter->next(), 2);
  EXPECT_EQ(liveObjects(), 2);
  held->Release();
  // The object alone keeps the server loaded.
  EXPECT_EQ(canUnloadNow(), S_FALSE);
  EXPECT_EQ(counter->Release(), 0u);
  EXPECT_EQ(liveObjects(), 0);
  EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, CreateInstanceWithAnOuterUnknownSucceedsAndNeverCallsIt) {
  IClassFactory* const held = factory();
  RecordingOuter outer;
  void* result = nullptr;
  ASSERT_EQ(held->CreateInstance(&outer, __uuidof(IPersist), &result), S_OK);
  auto* const persist = static_cast<IPersist*>(result);
  CLSID clsid{};
  EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, clsidTestObject));
  EXPECT_EQ(persist->Release(), 0u);
  held->Release();
  EXPECT_EQ(outer.calls, 0);
  EXPECT_EQ(liveObjects(), 0);
}

TEST_F(Server, AnInterfaceTheObjectLacksLeavesNoObjectAlive) {
  IClassFactory* const held = factory();
  void* result = garbage;
  EXPECT_EQ(held->CreateInstance(nullptr, IID_IClassFactory, &result), E_NOINTERFACE);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(liveObjects(), 1);  // the factory alone
  held->Release();
  EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, NullArgumentsOfCreateInstanceGiveEPointer) {
  IClassFactory* const held = factory();
  EXPECT_EQ(held->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
  void* result = nullptr;
  EXPECT_EQ(cVtbl(held).CreateInstance(held, nullptr, nullptr, &result), E_POINTER);
  EXPECT_EQ(cVtbl(held).CreateInstance(held, nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(liveObjects(), 1);
  held->Release();
  // Refused before any object is made: this class's constructor would fail otherwise.
  IClassFactory* const refusing = factory(clsidRefusingObject);
  EXPECT_EQ(cVtbl(refusing).CreateInstance(refusing, nullptr, nullptr, &result), E_POINTER);
  EXPECT_EQ(refusing->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
  refusing->Release();
}

TEST_F(Server, AFailedObjectAllocationGivesEOutOfMemory) {
  IClassFactory* const held = factory();
  void* result = garbage;
  failNextAllocation();
  EXPECT_EQ(held->CreateInstance(nullptr, IID_IUnknown, &result), E_OUTOFMEMORY);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(liveObjects(), 1);
  held->Release();
}

TEST_F(Server, AnExceptionFromTheConstructorBecomesItsHresult) {
  IClassFactory* const held = factory(clsidRefusingObject);
  void* result = garbage;
  EXPECT_EQ(held->CreateInstance(nullptr, IID_IUnknown, &result), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(liveObjects(), 1);
  held->Release();
  EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, LockServerKeepsTheServerLoadedUntilUnlocked) {
  IClassFactory* held = factory();
  EXPECT_EQ(held->LockServer(TRUE), S_OK);
  EXPECT_EQ(held->LockServer(TRUE), S_OK);
  EXPECT_EQ(held->LockServer(FALSE), S_OK);
  EXPECT_EQ(lockCount(), 1);
  held->Release();
  EXPECT_EQ(canUnloadNow(), S_FALSE);  // no object, one lock

  held = factory();
  EXPECT_EQ(held->LockServer(FALSE), S_OK);
  EXPECT_EQ(lockCount(), 0);
  EXPECT_EQ(canUnloadNow(), S_FALSE);  // no lock, the factory
  held->Release();
  EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, UnlockingAnUnlockedServerGivesEUnexpected) {
  IClassFactory* const held = factory();
  EXPECT_EQ(held->LockServer(TRUE), S_OK);
  EXPECT_EQ(held->LockServer(FALSE), S_OK);
  EXPECT_EQ(held->LockServer(FALSE), E_UNEXPECTED);
  EXPECT_EQ(lockCount(), 0);
  EXPECT_EQ(held->LockServer(TRUE), S_OK);  // and the count still works
  EXPECT_EQ(lockCount(), 1);
  EXPECT_EQ(held->LockServer(FALSE), S_OK);
  held->Release();
  EXPECT_EQ(canUnloadNow(), S_OK);
}

// --- The objects

TEST_F(Server, AllInterfacesOfAnObjectShareOneIdentityAndOneCount) {
  IClassFactory* const held = factory();
  void* result = nullptr;
  ASSERT_EQ(held->CreateInstance(nullptr, __uuidof(IPersist), &result), S_OK);
  held->Release();
  auto* const persist = static_cast<IPersist*>(result);
  void* counter = nullptr;
  void* fromPersist = nullptr;
  void* fromCounter = nullptr;
  ASSERT_EQ(persist->QueryInterface(__uuidof(ITestCounter), &counter), S_OK);
  ASSERT_EQ(persist->QueryInterface(IID_IUnknown, &fromPersist), S_OK);
  ASSERT_EQ(static_cast<ITestCounter*>(counter)->QueryInterface(IID_IUnknown, &fromCounter), S_OK);
  EXPECT_EQ(fromPersist, fromCounter);
  EXPECT_NE(counter, static_cast<void*>(persist));
  // Four references now, taken and given back through different interfaces.
  EXPECT_EQ(static_cast<ITestCounter*>(counter)->AddRef(), 5u);
  EXPECT_EQ(persist->Release(), 4u);
  EXPECT_EQ(static_cast<IUnknown*>(fromPersist)->Release(), 3u);
  EXPECT_EQ(static_cast<IUnknown*>(fromCounter)->Release(), 2u);
  EXPECT_EQ(static_cast<ITestCounter*>(counter)->Release(), 1u);
  EXPECT_EQ(liveObjects(), 1);
  EXPECT_EQ(static_cast<ITestCounter*>(counter)->Release(), 0u);
  EXPECT_EQ(liveObjects(), 0);
}

TEST_F(Server, ObjectQueryInterfaceNeedsAResultPointer) {
  IClassFactory* const held = factory();
  void* result = nullptr;
  ASSERT_EQ(held->CreateInstance(nullptr, IID_IUnknown, &result), S_OK);
  held->Release();
  auto* const object = static_cast<IUnknown*>(result);
  EXPECT_EQ(object->QueryInterface(__uuidof(IPersist), nullptr), E_POINTER);
  void* none = garbage;
  EXPECT_EQ(object->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(object->Release(), 0u);
}

// --- Threads

TEST_F(Server, ManyThreadsCreatingAndReleasingLeaveNothingAlive) {
  constexpr int threads = 8;
  constexpr int rounds = 300;
  std::vector<std::thread> workers;
  std::vector<int> failures(threads, 0);
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([this, t, &failures] {
      for (int i = 0; i < rounds; ++i) {
        void* result = nullptr;
        if (getClassObject(&clsidTestObject, &IID_IClassFactory, &result) != S_OK) {
          ++failures[t];
          continue;
        }
        auto* const held = static_cast<IClassFactory*>(result);
        void* object = nullptr;
        if (held->CreateInstance(nullptr, __uuidof(ITestCounter), &object) == S_OK) {
          static_cast<ITestCounter*>(object)->Release();
        } else {
          ++failures[t];
        }
        held->Release();
      }
    });
  }
  for (auto& worker : workers) worker.join();
  for (int t = 0; t < threads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
  EXPECT_EQ(liveObjects(), 0);
  EXPECT_EQ(canUnloadNow(), S_OK);
}

// Runs body on many threads at once, released together so that they overlap.
template <class F>
void onManyThreads(int threads, F body) {
  std::atomic<int> waiting{threads};
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&waiting, &body] {
      waiting.fetch_sub(1);
      while (waiting.load() > 0) std::this_thread::yield();
      body();
    });
  }
  for (auto& worker : workers) worker.join();
}

TEST_F(Server, ManyThreadsCountingOneObjectLoseNoReference) {
  IClassFactory* const held = factory();
  void* result = nullptr;
  ASSERT_EQ(held->CreateInstance(nullptr, __uuidof(ITestCounter), &result), S_OK);
  held->Release();
  auto* const counter = static_cast<ITestCounter*>(result);
  constexpr int threads = 8;
  constexpr int rounds = 200000;
  onManyThreads(threads, [counter] {
    for (int i = 0; i < rounds; ++i) counter->AddRef();
  });
  EXPECT_EQ(counter->AddRef(), static_cast<ULONG>(threads * rounds + 2));
  onManyThreads(threads, [counter] {
    for (int i = 0; i < rounds; ++i) counter->Release();
  });
  EXPECT_EQ(counter->Release(), 1u);
  EXPECT_EQ(counter->Release(), 0u);
  EXPECT_EQ(liveObjects(), 0);
}

}  // namespace
