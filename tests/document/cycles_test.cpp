// Nothing grows: the handles, GDI objects and memory of the program after many open-draw-save cycles are those
// after the first few.
#include "app/app_state.h"
#include "document/save_commands.h"
#include "support/harness.h"

#include <winternl.h>

namespace {

// Wine's answers to the platform's counts are 0; there the GDI objects are found in the GDI handle table the platform
// shares with the process (24 bytes an entry, the object's type in the last word of the second eight), and the memory
// as the committed private pages.
int CountGdiObjects()
{
    DWORD dwCount = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    PROCESS_BASIC_INFORMATION pbi = {};
    if (dwCount || NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &pbi, sizeof pbi, NULL))
        return (int)dwCount;
    const BYTE *pTable = *(const BYTE *const *)((const BYTE *)pbi.PebBaseAddress + 0xF8);
    int c = 0;
    for (int i = 0; pTable && i < 0x10000; i++)
        c += *(const USHORT *)(pTable + i * 24 + 14) != 0;
    return c;
}

SIZE_T CountPrivateBytes()
{
    SIZE_T cb = 0;
    MEMORY_BASIC_INFORMATION mbi;
    for (const BYTE *p = NULL; VirtualQuery(p, &mbi, sizeof mbi); p = (const BYTE *)mbi.BaseAddress + mbi.RegionSize)
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE)
            cb += mbi.RegionSize;
    return cb;
}

struct Usage {
    DWORD cHandles;
    int cGdiObjects;
    SIZE_T cbPrivate;
};

} // namespace

using CyclesTest = ProgramTest;

TEST_F(CyclesTest, TwoHundredOpenDrawSaveCyclesGrowNothing)
{
    std::string strSource = OpenPattern(64, 48, 10, true);
    std::string strSaved = AddFile("saved.avi");
    Usage after10 = {};
    for (int nCycle = 1; nCycle <= 200; nCycle++) {
        OpenFile(strSource);
        Drag(TOOL_FILLRECT, RGB(200, 0, 0), 3, {{5, 5}, {5 + nCycle % 50, 30}});
        ASSERT_TRUE(SaveDocumentAs(strSaved.c_str())) << "cycle " << nCycle;
        if (nCycle == 10)
            after10 = {CountHandles(), CountGdiObjects(), CountPrivateBytes()};
    }
    const Usage after200 = {CountHandles(), CountGdiObjects(), CountPrivateBytes()};
    EXPECT_GT(after10.cGdiObjects, 10) << "the GDI objects were not counted";
    EXPECT_LE(after200.cHandles, after10.cHandles + 4);
    EXPECT_LE(after200.cGdiObjects, after10.cGdiObjects + 4);
    EXPECT_LE(after200.cbPrivate, after10.cbPrivate + 2 * 1024 * 1024);
}
