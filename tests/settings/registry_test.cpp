// The settings key's value functions: a value that does not fit counts as absent and never runs past the
// buffer, the stored type is ignored, and a null key is harmless everywhere.
#include "app/app_state.h"
#include "settings/registry.h"
#include "support/harness.h"

TEST(RegistryTest, ValuesThatDoNotFitCountAsAbsentAndANullKeyWritesNothing)
{
    DeleteSettingsKey();
    HKEY hkey = OpenSettingsKey();
    ASSERT_NE(hkey, (HKEY)NULL);
    const ULONGLONG qw = 0x1122334455667788ull;
    RegSetValueExA(hkey, "Wide", 0, REG_QWORD, (const BYTE *)&qw, sizeof qw);
    RegSetValueExA(hkey, "Binary", 0, REG_BINARY, (const BYTE *)"\x19\0\0\0", 4);
    RegSetValueExA(hkey, "Long", 0, REG_SZ, (const BYTE *)"0123456789", 11);
    EXPECT_EQ(ReadDword(hkey, "Wide", 7), 7u);
    EXPECT_EQ(ReadDword(hkey, "Binary", 7), 25u);
    char sz[8];
    ReadString(hkey, "Long", sz, sizeof sz, "dflt");
    EXPECT_STREQ(sz, "dflt");
    ReadString(hkey, "Binary", sz, sizeof sz, "dflt");
    EXPECT_EQ(sz[4], 0) << "a value without its own zero ran past its end";
    LOGFONTA lf = {}, lfKept = {};
    EXPECT_FALSE(ReadBinary(hkey, "Wide", &lf, sizeof lf)) << "a value of another size taken as a font";
    EXPECT_EQ(memcmp(&lf, &lfKept, sizeof lf), 0);
    RegCloseKey(hkey);
    DeleteSettingsKey();
    WriteDword(NULL, "PenWidth", 5);
    EXPECT_EQ(ReadDword(NULL, "PenWidth", 3), 3u);
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, pszRegistryKey, 0, KEY_READ, &hkey), ERROR_SUCCESS)
        << "a null key wrote";
}
