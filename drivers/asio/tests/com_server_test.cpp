// The driver as a COM server: its class factory, aggregation, the object and
// lock counts behind DllCanUnloadNow, and what a refused allocation leaves.
// These are the calls a host never makes, so the exports are called directly.
#include <stdexcept>
#include <thread>

#include "allocation_hooks.h"
#include "asio_driver_fixture.h"

namespace {

constexpr IID kOtherInterface = {0x12345678, 0x1234, 0x1234, {0x12, 0x34, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}};

// The driver's library loaded the way a host's COM loads it, without an object.
class ComServer : public AsioDriverTest {
protected:
    ComServer()
    {
        Boot();
        Register();
        module_ = LoadLibraryA(kDriverPath);
        EXPECT_NE(module_, nullptr);
    }
    ~ComServer() override { FreeLibrary(module_); }

    IClassFactory* Factory()
    {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(GetClassObject(kClsid, IID_IClassFactory, reinterpret_cast<LPVOID*>(&factory)), S_OK);
        return factory;
    }

    HMODULE module_ = nullptr;
};

// An object that aggregates the driver and counts what reaches its own IUnknown.
class Aggregate final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        ++queries;
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }

    int queries = 0;
    int references = 1;
};

TEST_F(ComServer, ClassObjectIsAskedForTheInterfaceFirst)
{
    struct Case {
        const char* what;
        CLSID clsid;
        IID iid;
        HRESULT result;
    };
    const Case cases[] = {
        {"another class", kOtherInterface, IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
        {"IASIO from the class", kClsid, kClsid, E_NOINTERFACE},
        {"another interface of another class", kOtherInterface, kOtherInterface, E_NOINTERFACE},
        {"IUnknown", kClsid, IID_IUnknown, S_OK},
        {"IClassFactory", kClsid, IID_IClassFactory, S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        IUnknown* out = reinterpret_cast<IUnknown*>(&out);
        EXPECT_EQ(GetClassObject(c.clsid, c.iid, reinterpret_cast<LPVOID*>(&out)), c.result);
        EXPECT_EQ(out == nullptr, FAILED(c.result));
        if (out) {
            EXPECT_EQ(out->Release(), 0u);
        }
    }
    EXPECT_EQ(GetClassObject(kClsid, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(ComServer, FactoryCountsItselfAndIsNoObject)
{
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(CanUnloadNow(), S_OK);  // factories do not keep the library
    IUnknown* unknown = nullptr;
    EXPECT_EQ(factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, factory);
    IUnknown* other = reinterpret_cast<IUnknown*>(&other);
    EXPECT_EQ(factory->QueryInterface(kOtherInterface, reinterpret_cast<void**>(&other)), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(factory->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(factory->AddRef(), 3u);
    EXPECT_EQ(factory->Release(), 2u);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(factory->Release(), 0u);
}

TEST_F(ComServer, ObjectAndLockKeepTheLibrary)
{
    IClassFactory* factory = Factory();
    IUnknown* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(CanUnloadNow(), S_OK);
    factory->Release();
}

TEST_F(ComServer, ObjectAnswersIasioUnderItsClassIdentifier)
{
    IClassFactory* factory = Factory();
    IUnknown* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
    factory->Release();
    IASIO* asio = nullptr;
    ASSERT_EQ(object->QueryInterface(kClsid, reinterpret_cast<void**>(&asio)), S_OK);
    char name[32] = {};
    asio->getDriverName(name);
    EXPECT_STREQ(name, "ASIO Zavo PCI");
    // One object: its IUnknown is the same whichever interface is asked.
    IUnknown* again = nullptr;
    ASSERT_EQ(asio->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again)), S_OK);
    EXPECT_EQ(again, object);
    IUnknown* refused = reinterpret_cast<IUnknown*>(&refused);
    EXPECT_EQ(asio->QueryInterface(kOtherInterface, reinterpret_cast<void**>(&refused)), E_NOINTERFACE);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(asio->QueryInterface(kClsid, nullptr), E_POINTER);
    EXPECT_EQ(again->Release(), 2u);
    EXPECT_EQ(asio->Release(), 1u);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(ComServer, RefusedInterfacesLeaveNoObject)
{
    IClassFactory* factory = Factory();
    struct Case {
        const char* what;
        bool aggregated;
        IID iid;
    };
    const Case cases[] = {
        {"an interface the object does not have", false, kOtherInterface},
        {"IASIO for an aggregate", true, kClsid},
        {"IClassFactory for an aggregate", true, IID_IClassFactory},
    };
    Aggregate outer;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        void* out = &out;
        EXPECT_EQ(factory->CreateInstance(c.aggregated ? &outer : nullptr, c.iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
        EXPECT_EQ(CanUnloadNow(), S_OK);
    }
    EXPECT_EQ(factory->CreateInstance(nullptr, kClsid, nullptr), E_POINTER);
    EXPECT_EQ(outer.references, 1);
    EXPECT_EQ(outer.queries, 0);
    factory->Release();
}

TEST_F(ComServer, AggregatedObjectForwardsToItsOuterUnknown)
{
    IClassFactory* factory = Factory();
    Aggregate outer;
    IUnknown* inner = nullptr;
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)), S_OK);
    factory->Release();
    EXPECT_EQ(outer.references, 1);  // the inner object counts itself

    // The outer object asks its inner one for IASIO, which counts on the outer object.
    IASIO* asio = nullptr;
    ASSERT_EQ(inner->QueryInterface(kClsid, reinterpret_cast<void**>(&asio)), S_OK);
    EXPECT_EQ(outer.references, 2);
    asio->AddRef();
    EXPECT_EQ(outer.references, 3);
    void* other = nullptr;
    EXPECT_EQ(asio->QueryInterface(IID_IUnknown, &other), E_NOINTERFACE);
    EXPECT_EQ(outer.queries, 1);
    asio->Release();
    asio->Release();
    EXPECT_EQ(outer.references, 1);
    EXPECT_EQ(asio->getDriverVersion(), 1);

    // The inner unknown is the object's own.
    IUnknown* self = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&self)), S_OK);
    EXPECT_EQ(self, inner);
    EXPECT_EQ(self->Release(), 1u);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    EXPECT_EQ(inner->Release(), 0u);
    EXPECT_EQ(CanUnloadNow(), S_OK);
    EXPECT_EQ(outer.references, 1);
}

TEST_F(ComServer, FactoryAndObjectThatCannotBeHad)
{
    {
        IClassFactory* factory = reinterpret_cast<IClassFactory*>(&factory);
        allocation_hooks::NothrowAllocations refuse(0);
        EXPECT_EQ(GetClassObject(kClsid, IID_IClassFactory, reinterpret_cast<LPVOID*>(&factory)), E_OUTOFMEMORY);
        EXPECT_EQ(factory, nullptr);
    }
    IClassFactory* factory = Factory();
    {
        IUnknown* object = reinterpret_cast<IUnknown*>(&object);
        allocation_hooks::NothrowAllocations refuse(0);
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)), E_OUTOFMEMORY);
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_EQ(CanUnloadNow(), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
}

// The host's own tear-down: the library goes once the object does.
TEST_F(AsioDriverTest, ReleasedDriverUnloads)
{
    Boot();
    Register();
    Load();
    EXPECT_NE(Module(), nullptr);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    EXPECT_TRUE(host_.Unload());
    EXPECT_EQ(Module(), nullptr);
}

// The driver is registered "Apartment": only the thread that made it calls it.
TEST_F(AsioDriverTest, HostCallsFromTheLoadingThreadOnly)
{
    Boot();
    Register();
    Load();
    bool refused = false;
    std::thread([&] {
        try {
            host_.Driver();
        } catch (const std::logic_error&) {
            refused = true;
        }
    }).join();
    EXPECT_TRUE(refused);
    EXPECT_NO_THROW(host_.Driver());
}

}  // namespace
