#include "DebugInterfacedObjectUnit.h"
#include "Errors.h"
#include "Variants.h"

#include <gtest/gtest.h>

struct ITestA : IUnknown {
    virtual int A() = 0;
};
__CRT_UUID_DECL(ITestA, 0x8c1a0e52, 0x3b7b, 0x4e0b, 0x9b, 0x3e, 0x2f, 0x4c, 0x5d, 0x6e, 0x7f, 0x80)

struct ITestB : IUnknown {
    virtual int B() = 0;
};
__CRT_UUID_DECL(ITestB, 0x8c1a0e52, 0x3b7b, 0x4e0b, 0x9b, 0x3e, 0x2f, 0x4c, 0x5d, 0x6e, 0x7f, 0x81)

struct ITestMissing : IUnknown {};
__CRT_UUID_DECL(ITestMissing, 0x8c1a0e52, 0x3b7b, 0x4e0b, 0x9b, 0x3e, 0x2f, 0x4c, 0x5d, 0x6e, 0x7f, 0x82)

namespace {

class TTwoFaces : public TDebugInterfacedObject, public ITestA, public ITestB {
    GLZ_INTERFACES(TDebugInterfacedObject, ITestA, ITestB)
    int A() override { return 1; }
    int B() override { return 2; }
};

TEST(InterfacedObject, OneCountServesEveryInterfaceAndTheLastReleaseFrees) {
    const long before = TDebugInterfacedObject::LiveObjects();
    {
        ComPtr<ITestA> a = NewObject<TTwoFaces>();
        EXPECT_EQ(before + 1, TDebugInterfacedObject::LiveObjects());
        ComPtr<ITestB> b = MustCast<ITestB>(a);
        EXPECT_EQ(2, b->B());
        EXPECT_TRUE(SameObject(a.Get(), b.Get()));
        EXPECT_FALSE(Supports<ITestMissing>(a));
        EXPECT_THROW(MustCast<ITestMissing>(b), EIntfCastError);
    }
    EXPECT_EQ(before, TDebugInterfacedObject::LiveObjects());
}

TEST(Errors, AssertionCarriesMessageUnitAndLine) {
    try {
        GLZ_ASSERT(false, "broken {00000000-0000-0000-0000-000000000000}");
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ("broken {00000000-0000-0000-0000-000000000000}", e.AssertMessage());
        EXPECT_EQ("CoreBaseTest.cpp", e.Unit());
        EXPECT_GT(e.Line(), 0);
    }
}

TEST(Variants, KindsAndConversions) {
    EXPECT_TRUE(Variant().IsEmpty());
    EXPECT_EQ(Variant::Kind::Boolean, Variant(true).GetKind());
    EXPECT_EQ(Variant::Kind::String, Variant("x").GetKind());
    EXPECT_EQ(42, Variant("42").AsInteger());
    EXPECT_EQ("7", Variant(7).AsString());
    EXPECT_THROW(Variant("x7").AsInteger(), Exception);
}

} // namespace
