#include <gtest/gtest.h>

#include "quifw/Object.h"

namespace {

class CAnimal : public CObject {
    DECLARE_DYNAMIC(CAnimal)
};
IMPLEMENT_DYNAMIC(CAnimal, CObject)

class CBird : public CAnimal {
    DECLARE_DYNCREATE(CBird)
public:
    int wings = 2;
};
IMPLEMENT_DYNCREATE(CBird, CAnimal)

class CFinchLike : public CBird {
    DECLARE_DYNCREATE(CFinchLike)
};
IMPLEMENT_DYNCREATE(CFinchLike, CBird)

TEST(CObject, KnowsItsClassAndEveryBase)
{
    CFinchLike finch;
    const CObject& object = finch;
    EXPECT_EQ(RUNTIME_CLASS(CFinchLike), object.GetRuntimeClass());
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CBird)));
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CAnimal)));
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CObject)));
    CBird bird;
    EXPECT_FALSE(bird.IsKindOf(RUNTIME_CLASS(CFinchLike)));
    EXPECT_FALSE(RUNTIME_CLASS(CObject)->IsDerivedFrom(RUNTIME_CLASS(CAnimal)));
}

TEST(CObject, CreatesRegisteredClassesByName)
{
    const CRuntimeClass* found = CRuntimeClass::FromName("CFinchLike");
    ASSERT_EQ(RUNTIME_CLASS(CFinchLike), found);
    CObject* made = found->CreateObject();
    ASSERT_NE(nullptr, made);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CFinchLike)));
    EXPECT_EQ(2, static_cast<CBird*>(made)->wings);
    delete made;
    // Only creatable classes are known by name.
    EXPECT_EQ(nullptr, CRuntimeClass::FromName("CAnimal"));
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CAnimal)->CreateObject());
    EXPECT_EQ(nullptr, CRuntimeClass::FromName("cfinchlike"));
    EXPECT_EQ(nullptr, CRuntimeClass::FromName(nullptr));
}

TEST(CException, GivesNoMessageOfItsOwnAndEmptiesTheBuffer)
{
    CException e(FALSE);
    char text[8] = "junk";
    UINT help = 99;
    EXPECT_FALSE(e.GetErrorMessage(text, sizeof(text), &help));
    EXPECT_STREQ("", text);
    EXPECT_EQ(0u, help);
    EXPECT_TRUE(e.IsKindOf(RUNTIME_CLASS(CException)));
}

} // namespace
