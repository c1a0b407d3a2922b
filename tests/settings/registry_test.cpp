// The settings key's value functions: a value that does not fit counts as absent, the stored type is ignored,
// a text without its own zero still ends in the buffer, and a null key is harmless everywhere.
#include "app/app_state.h"
#include "settings/registry.h"
#include "support/program_test.h"

static bool KeyExists(const char *pszPath)
{
    HKEY hkey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, pszPath, 0, KEY_READ, &hkey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hkey);
    return true;
}

TEST(RegistryTest, ValuesThatDoNotFitCountAsAbsentAndTypesAreIgnored)
{
    DeleteSettingsKey();
    HKEY hkey = OpenSettingsKey();
    ASSERT_NE(hkey, (HKEY)NULL);
    const ULONGLONG qw = 0x1122334455667788ull;
    RegSetValueExA(hkey, "Wide", 0, REG_QWORD, (const BYTE *)&qw, sizeof qw);
    RegSetValueExA(hkey, "Binary", 0, REG_BINARY, (const BYTE *)"\x19\0\0\0", 4);
    RegSetValueExA(hkey, "Short", 0, REG_SZ, (const BYTE *)"ab", 3);
    RegSetValueExA(hkey, "Long", 0, REG_SZ, (const BYTE *)"0123456789", 11);
    EXPECT_EQ(ReadDword(hkey, "Wide", 7), 7u);
    EXPECT_EQ(ReadDword(hkey, "Binary", 7), 25u);
    EXPECT_EQ(ReadDword(hkey, "Missing", 7), 7u);
    char sz[8];
    ReadString(hkey, "Long", sz, sizeof sz, "dflt");
    EXPECT_STREQ(sz, "dflt");
    ReadString(hkey, "Binary", sz, sizeof sz, "dflt");
    EXPECT_EQ(sz[0], 25);
    EXPECT_EQ(sz[4], 0) << "a value without its own zero ran past its end";
    LOGFONTA lf = {}, lfKept = {};
    lf.lfHeight = lfKept.lfHeight = 12;
    EXPECT_FALSE(ReadBinary(hkey, "Wide", &lf, sizeof lf)) << "a value of another size taken as a font";
    EXPECT_EQ(memcmp(&lf, &lfKept, sizeof lf), 0);
    WriteBinary(hkey, "Font", &lfKept, sizeof lfKept);
    EXPECT_TRUE(ReadBinary(hkey, "Font", &lf, sizeof lf));
    RegCloseKey(hkey);

    DeleteSettingsKey();
    EXPECT_EQ(ReadDword(NULL, "PenWidth", 3), 3u);
    ReadString(NULL, "File1", sz, sizeof sz, "dflt");
    EXPECT_STREQ(sz, "dflt");
    WriteDword(NULL, "PenWidth", 5);
    WriteString(NULL, "File1", "a");
    EXPECT_FALSE(KeyExists("Software\\Norbek\\Pelto")) << "a null key wrote something";
}

TEST(RegistryTest, SubKeysAreDeletedWithEverythingUnderThem)
{
    HKEY hkey = OpenAppSubKey("Recent File List"), hkeyInner;
    ASSERT_NE(hkey, (HKEY)NULL);
    ASSERT_EQ(RegCreateKeyA(hkey, "Inner", &hkeyInner), ERROR_SUCCESS);
    RegCloseKey(hkeyInner);
    RegCloseKey(hkey);
    DeleteAppSubKey("Recent File List");
    EXPECT_FALSE(KeyExists("Software\\Norbek\\Pelto\\Recent File List"));
    EXPECT_TRUE(KeyExists("Software\\Norbek\\Pelto"));
    DeleteSettingsKey();
}
