// The settings key's value functions: defaults on a fresh key, values that do not fit count as absent,
// the stored type is ignored, and a null key is harmless everywhere.
#include "app/app_state.h"
#include "settings/registry.h"
#include "support/program_test.h"

#include <gtest/gtest.h>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }

    static void StoreRaw(const char *pszName, DWORD dwType, const void *pv, DWORD cb)
    {
        HKEY hkey = OpenSettingsKey();
        ASSERT_NE(hkey, (HKEY)NULL);
        RegSetValueExA(hkey, pszName, 0, dwType, (const BYTE *)pv, cb);
        RegCloseKey(hkey);
    }

    static bool KeyExists(const char *pszPath)
    {
        HKEY hkey;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, pszPath, 0, KEY_READ, &hkey) != ERROR_SUCCESS)
            return false;
        RegCloseKey(hkey);
        return true;
    }
};

} // namespace

TEST_F(RegistryTest, FreshKeyIsCreatedAndGivesDefaults)
{
    ASSERT_FALSE(KeyExists("Software\\Norbek\\Pelto"));
    HKEY hkey = OpenSettingsKey();
    ASSERT_NE(hkey, (HKEY)NULL);
    EXPECT_TRUE(KeyExists("Software\\Norbek\\Pelto"));
    EXPECT_EQ(ReadDword(hkey, "PenWidth", 1), 1u);
    EXPECT_EQ(ReadDword(hkey, "MaxRecentFile", 8), 8u);
    char sz[16];
    ReadString(hkey, "File1", sz, sizeof sz, "none");
    EXPECT_STREQ(sz, "none");
    RegCloseKey(hkey);
}

TEST_F(RegistryTest, ValuesComeBackAsWritten)
{
    HKEY hkey = OpenSettingsKey();
    WriteDword(hkey, "Color", 0x00123456);
    WriteString(hkey, "Name", "C:\\\x95\x5C\\\x83\x5C.avi");
    EXPECT_EQ(ReadDword(hkey, "Color", 0), 0x00123456u);
    char sz[MAX_PATH];
    ReadString(hkey, "Name", sz, sizeof sz, "");
    EXPECT_STREQ(sz, "C:\\\x95\x5C\\\x83\x5C.avi");

    // Stored as REG_DWORD of 4 bytes and as REG_SZ with its terminating zero.
    DWORD dwType, cb = sizeof sz;
    RegQueryValueExA(hkey, "Color", NULL, &dwType, NULL, &cb);
    EXPECT_EQ(dwType, (DWORD)REG_DWORD);
    EXPECT_EQ(cb, 4u);
    cb = sizeof sz;
    RegQueryValueExA(hkey, "Name", NULL, &dwType, NULL, &cb);
    EXPECT_EQ(dwType, (DWORD)REG_SZ);
    EXPECT_EQ(cb, (DWORD)lstrlenA("C:\\\x95\x5C\\\x83\x5C.avi") + 1);
    RegCloseKey(hkey);
}

TEST_F(RegistryTest, ValuesThatDoNotFitCountAsAbsentAndTypesAreIgnored)
{
    const ULONGLONG qw = 0x1122334455667788ull;
    const DWORD dwBinary = 25;
    StoreRaw("Wide", REG_QWORD, &qw, sizeof qw);
    StoreRaw("Binary", REG_BINARY, &dwBinary, sizeof dwBinary);
    StoreRaw("Short", REG_SZ, "ab", 3);
    StoreRaw("Long", REG_SZ, "0123456789", 11);

    HKEY hkey = OpenSettingsKey();
    struct Case {
        const char *pszName;
        DWORD dwExpected;
    } aDwords[] = {
        {"Wide", 7},                     // 8 bytes do not fit into 4
        {"Binary", 25},                  // another type that fits is taken as stored
        {"Short", 'a' | ('b' << 8)},     // three bytes of text fit
        {"Missing", 7},
    };
    for (const Case &c : aDwords)
        EXPECT_EQ(ReadDword(hkey, c.pszName, 7), c.dwExpected) << c.pszName;

    char sz[8];
    ReadString(hkey, "Long", sz, sizeof sz, "dflt");
    EXPECT_STREQ(sz, "dflt"); // 11 bytes do not fit into 8
    ReadString(hkey, "Short", sz, sizeof sz, "dflt");
    EXPECT_STREQ(sz, "ab");
    ReadString(hkey, "Binary", sz, sizeof sz, "dflt");
    EXPECT_EQ(sz[0], 25);
    EXPECT_EQ(sz[4], 0) << "a value without its own zero still ends in the buffer";
    RegCloseKey(hkey);
}

TEST_F(RegistryTest, NullKeyGivesDefaultsAndWritesNothing)
{
    EXPECT_EQ(ReadDword(NULL, "PenWidth", 3), 3u);
    char sz[8] = "xxxxxxx";
    ReadString(NULL, "File1", sz, sizeof sz, "dflt");
    EXPECT_STREQ(sz, "dflt");
    WriteDword(NULL, "PenWidth", 5);
    WriteString(NULL, "File1", "a");
    EXPECT_FALSE(KeyExists("Software\\Norbek\\Pelto"));
}

TEST_F(RegistryTest, SubKeysAreMadeAndDeletedWithTheirContent)
{
    HKEY hkey = OpenAppSubKey("Recent File List");
    ASSERT_NE(hkey, (HKEY)NULL);
    WriteString(hkey, "File1", "C:\\a.avi");
    HKEY hkeyInner;
    ASSERT_EQ(RegCreateKeyA(hkey, "Inner", &hkeyInner), ERROR_SUCCESS);
    RegCloseKey(hkeyInner);
    RegCloseKey(hkey);
    EXPECT_TRUE(KeyExists("Software\\Norbek\\Pelto\\Recent File List"));

    DeleteAppSubKey("Recent File List");
    EXPECT_FALSE(KeyExists("Software\\Norbek\\Pelto\\Recent File List"));
    EXPECT_TRUE(KeyExists("Software\\Norbek\\Pelto"));
    DeleteAppSubKey("Never Made"); // no error, nothing else touched
    EXPECT_TRUE(KeyExists("Software\\Norbek\\Pelto"));
}
