// The date package as the engine loads it: by path, through PrsLoadPackageDll
// (Curlew.dll beside the test in the Windows tree).
#include "Curlew.h"
#include "OspreyTesting.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::basic_string<PRSWCHAR> W(const char* text)
{
    return std::basic_string<PRSWCHAR>(text, text + std::char_traits<char>::length(text));
}

// Packages are loaded by full path.
std::string Beside(const char* name)
{
#ifndef _WIN32
    static const PrsPackageEntries curlew = {&Load, &Unload, &GetKeyphraseAttributes, &AttributeToVariant};
    PrsRegisterStaticPackage("Curlew.dll", &curlew);
#endif
    return TestPackagePath(name);
}

int32_t LocalMidnight(int year, int month, int day)
{
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_isdst = -1;
    return static_cast<int32_t>(mktime(&t));
}

} // namespace

TEST(Package, LoadedByPathGivesAttributes)
{
    PrsParser* parser = PrsInit();
    PrsPackage* package = PrsLoadPackageDll(parser, Beside("Curlew.dll").c_str());
    ASSERT_NE(nullptr, package);
    int tag = 0;
    EXPECT_EQ(&tag, PrsPackageSetUserData(package, &tag));
    EXPECT_EQ(&tag, PrsPackageGetUserData(package));

    PrsContext* context = PrsCreateContext(parser);
    PrsParse(parser, context, W("dentist 3/5/2024").c_str());
    PrsKeyphrase* found[4] = {};
    ASSERT_EQ(1, PrsContextGetKeyphrasesAtOffset(context, 9, 4, found));
    EXPECT_EQ(package, PrsKeyphraseGetPackage(found[0]));
    PrsAttribute attributes[2] = {};
    ASSERT_EQ(1, PrsKeyphraseGetAttributes(nullptr, found[0], 2, attributes));
    EXPECT_EQ(CURLEW_DATE, attributes[0].kind);
    EXPECT_EQ(LocalMidnight(2024, 3, 5), attributes[0].value);
    VARIANT v;
    EXPECT_EQ(VT_DATE, PrsPackageAttributeToVariant(package, &attributes[0], &v));
    EXPECT_DOUBLE_EQ(45356.0, v.date);
    PrsAttribute none = {CURLEW_DATE, -1};
    EXPECT_EQ(VT_NULL, PrsPackageAttributeToVariant(package, &none, &v));
    PrsContextDestroy(context);
    PrsDeInit(parser);
}

TEST(Package, ReloadingReusesThePackage)
{
    PrsParser* first = PrsInit();
    PrsPackage* package = PrsLoadPackageDll(first, Beside("Curlew.dll").c_str());
    ASSERT_NE(nullptr, package);
    PrsPackageSetUserData(package, package);
    PrsDeInit(first);
    for (int i = 0; i < 20; ++i) {
        PrsParser* parser = PrsInit();
        EXPECT_EQ(package, PrsLoadPackageDll(parser, Beside("Curlew.dll").c_str())) << "reload " << i;
        EXPECT_EQ(nullptr, PrsPackageGetUserData(package)) << "a reload starts without user data";
        PrsDeInit(parser);
    }
}

TEST(Package, LibrariesThatAreNoPackagesAreRefused)
{
    PrsParser* parser = PrsInit();
    Beside("Curlew.dll");
    EXPECT_EQ(nullptr, PrsLoadPackageDll(parser, Beside("NoSuchPackage.dll").c_str()));
    EXPECT_EQ(nullptr, PrsLoadPackageDll(parser, nullptr));
    EXPECT_EQ(nullptr, PrsLoadPackageDll(nullptr, Beside("Curlew.dll").c_str()));
#ifdef _WIN32
    // The engine itself exports no package entry points; it stays loaded only once.
    EXPECT_EQ(nullptr, PrsLoadPackageDll(parser, Beside("Osprey.dll").c_str()));
#else
    static const PrsPackageEntries noVariant = {&Load, &Unload, &GetKeyphraseAttributes, nullptr};
    PrsRegisterStaticPackage("NoVariant.dll", &noVariant);
    EXPECT_EQ(nullptr, PrsLoadPackageDll(parser, "NoVariant.dll"));
    struct Failing {
        static int PRSAPI Load(PrsParser*, PrsPackage*) { return 0; }
    };
    static const PrsPackageEntries failing = {&Failing::Load, &Unload, &GetKeyphraseAttributes, &AttributeToVariant};
    PrsRegisterStaticPackage("Failing.dll", &failing);
    EXPECT_EQ(nullptr, PrsLoadPackageDll(parser, "Failing.dll")) << "a failed Load is a failure";
#endif
    PrsDeInit(parser);
}
