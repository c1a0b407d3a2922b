// The copy routine on its own: a source with no stream, and a copy that stops moving.
#include "document/avi_copy.h"
#include "document/file_commands.h"
#include "support/avi_maker.h"
#include "support/avi_reader.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <set>

namespace {

std::string MakeTestPath(const char *pszName)
{
    char szFolder[MAX_PATH];
    GetTempPathA(sizeof szFolder, szFolder);
    return std::string(szFolder) + pszName;
}

// An audio stream that claims samples of four bytes but delivers none when read, with success.
class StalledStream : public IAVIStream {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void **ppv) override
    {
        *ppv = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Create(LPARAM, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Info(AVISTREAMINFOW *psi, LONG cb) override
    {
        ZeroMemory(psi, cb);
        psi->fccType = streamtypeAUDIO;
        psi->dwLength = 1000;
        psi->dwSampleSize = 4;
        return S_OK;
    }
    LONG STDMETHODCALLTYPE FindSample(LONG lPos, LONG) override { return lPos; }
    HRESULT STDMETHODCALLTYPE ReadFormat(LONG, LPVOID, LONG *pcb) override
    {
        *pcb = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFormat(LONG, LPVOID, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Read(LONG, LONG cSamples, LPVOID pv, LONG, LONG *pcb, LONG *pc) override
    {
        if (pcb)
            *pcb = pv ? 0 : 4 * cSamples;
        if (pc)
            *pc = pv ? 0 : cSamples;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(LONG, LONG, LPVOID, LONG, DWORD, LONG *, LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Delete(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReadData(DWORD, LPVOID, LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WriteData(DWORD, LPVOID, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetInfo(AVISTREAMINFOW *, LONG) override { return E_NOTIMPL; }
};

} // namespace

TEST(AviCopyTest, SourceWithoutStreamsGivesAnEmptyDestination)
{
    std::string strSource = MakeTestPath("nostream.avi"), strDest = MakeTestPath("nostream_copy.avi");
    ASSERT_TRUE(MakeTextOnlyAviFile(strSource));
    AVICOMPRESSOPTIONS aOptions[2] = {};
    LPAVICOMPRESSOPTIONS apOptions[2] = {&aOptions[0], &aOptions[1]};
    EXPECT_TRUE(CopyAviFile(strSource.c_str(), strDest.c_str(), apOptions, FALSE));
    EXPECT_NE(GetFileAttributesA(strDest.c_str()), INVALID_FILE_ATTRIBUTES);
    // The library on Wine writes nothing at all for a file without streams and cannot open it again (-1);
    // elsewhere the file opens and counts no stream.
    EXPECT_LE(CountStreams(strDest), 0);
    DeleteFileA(strSource.c_str());
    DeleteFileA(strDest.c_str());
}

TEST(AviCopyTest, CopyThatWritesNothingEndsAsAFailure)
{
    std::string strDest = MakeTestPath("stalled.avi");
    PAVIFILE pfile;
    ASSERT_EQ(AVIFileOpenA(&pfile, strDest.c_str(), OF_CREATE | OF_WRITE, NULL), 0);
    AVISTREAMINFOA si = {};
    si.fccType = streamtypeAUDIO;
    si.dwScale = 4;
    si.dwRate = 4 * 8000;
    si.dwSampleSize = 4;
    PAVISTREAM pavisDest;
    ASSERT_EQ(AVIFileCreateStreamA(pfile, &pavisDest, &si), 0);
    PCMWAVEFORMAT wf = {{WAVE_FORMAT_PCM, 2, 8000, 32000, 4}, 16};
    AVIStreamSetFormat(pavisDest, 0, &wf, sizeof wf);

    StalledStream stalled;
    EXPECT_FALSE(CopyStream(&stalled, pavisDest, streamtypeAUDIO, 0)) << "the copy did not notice it stood still";
    AVIStreamRelease(pavisDest);
    AVIFileRelease(pfile);
    DeleteFileA(strDest.c_str());
}

TEST(TempNameTest, NamesInUseAreSkipped)
{
    // Take every name the clock gives during the next half second; the name made then is another.
    char szFolder[MAX_PATH];
    GetTempPathA(sizeof szFolder, szFolder);
    std::set<std::string> taken;
    DWORD dwStart = timeGetTime();
    for (DWORD dw = dwStart; dw < dwStart + 500; dw++) {
        char szName[MAX_PATH];
        GetTempFileNameA(szFolder, "~CT", dw & 0xFFFF, szName);
        std::string strName = szName;
        strName.replace(strName.size() - 4, 4, ".AVI");
        CloseHandle(CreateFileA(strName.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
        taken.insert(strName);
    }
    char szMade[MAX_PATH];
    MakeTempAviName(szMade);
    EXPECT_EQ(taken.count(szMade), 0u) << szMade;
    EXPECT_EQ(GetFileAttributesA(szMade), INVALID_FILE_ATTRIBUTES) << "the name is in use";
    EXPECT_EQ(std::string(szMade).compare(0, lstrlenA(szFolder) + 3, std::string(szFolder) + "~CT"), 0);
    for (const std::string &strName : taken)
        DeleteFileA(strName.c_str());
}
