// The copy routine's refusal of a copy it cannot finish, and the temporary names the open and the save take.
#include "document/avi_copy.h"
#include "document/file_commands.h"
#include "support/avi_maker.h"
#include "support/program_test.h"

#include <mmsystem.h>

namespace {

// An audio stream of four-byte samples that answers each sample's size with cbAnswer and delivers no sample.
class StalledStream : public IAVIStream {
public:
    explicit StalledStream(LONG cb) : cbAnswer(cb) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void **ppv) override { return *ppv = this, S_OK; }
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
    HRESULT STDMETHODCALLTYPE ReadFormat(LONG, LPVOID, LONG *pcb) override { return *pcb = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE SetFormat(LONG, LPVOID, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Read(LONG, LONG cSamples, LPVOID pv, LONG, LONG *pcb, LONG *pc) override
    {
        if (pcb)
            *pcb = pv ? 0 : cbAnswer * cSamples;
        if (pc)
            *pc = pv ? 0 : cSamples;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(LONG, LONG, LPVOID, LONG, DWORD, LONG *, LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Delete(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReadData(DWORD, LPVOID, LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WriteData(DWORD, LPVOID, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetInfo(AVISTREAMINFOW *, LONG) override { return E_NOTIMPL; }

private:
    LONG cbAnswer;
};

using AviCopyTest = ProgramTest;

} // namespace

TEST_F(AviCopyTest, CopyThatCannotMoveEverySampleFails)
{
    // A sample whose size is 0 ended the copy there, reported as done; a pass that moves nothing would repeat.
    std::string strDest = AddFile("stalled.avi");
    for (LONG cbAnswer : {0L, 4L}) {
        PAVIFILE pfile;
        ASSERT_EQ(AVIFileOpenA(&pfile, strDest.c_str(), OF_CREATE | OF_WRITE, NULL), 0);
        AVISTREAMINFOA si = {};
        si.fccType = streamtypeAUDIO;
        si.dwScale = si.dwSampleSize = 4;
        si.dwRate = 4 * 8000;
        PAVISTREAM pavisDest;
        ASSERT_EQ(AVIFileCreateStreamA(pfile, &pavisDest, &si), 0);
        PCMWAVEFORMAT wf = {{WAVE_FORMAT_PCM, 2, 8000, 32000, 4}, 16};
        AVIStreamSetFormat(pavisDest, 0, &wf, sizeof wf);
        StalledStream stalled(cbAnswer);
        EXPECT_FALSE(CopyStream(&stalled, pavisDest, streamtypeAUDIO, 0)) << "sample size " << cbAnswer;
        AVIStreamRelease(pavisDest);
        AVIFileRelease(pfile);
    }
    // A real file with an empty frame in the middle: the copy may not stop there and call itself complete.
    AviSpec spec;
    spec.cFrames = 5, spec.nEmptyFrame = 2;
    ASSERT_TRUE(MakeAviFile(AddFile("empty_frame.avi"), spec));
    AVICOMPRESSOPTIONS aOptions[2] = {};
    LPAVICOMPRESSOPTIONS apOptions[2] = {&aOptions[0], &aOptions[1]};
    EXPECT_FALSE(CopyAviFile((strTempDir + "empty_frame.avi").c_str(), strDest.c_str(), apOptions, TRUE));
}

TEST_F(AviCopyTest, TemporaryNamesCreateNothingAndPassOverTakenNames)
{
    // The name a number forms, as the platform forms it, with the program's extension.
    auto nameOf = [this](UINT uNumber) {
        char sz[MAX_PATH];
        GetTempFileNameA(strTempDir.c_str(), "~CT", uNumber, sz);
        return std::string(sz, strlen(sz) - 4) + ".AVI";
    };
    for (UINT uNumber : {1u, 2u, 3u, 0xFFFFu})
        CloseHandle(CreateFileA(AddFile(nameOf(uNumber).substr(strTempDir.size())).c_str(), GENERIC_WRITE, 0, NULL,
                                CREATE_ALWAYS, 0, NULL));
    const struct Case {
        DWORD dwStart;
        UINT uNumber;
    } aCases[] = {
        {0, 4},       // a clock at 0 asked the platform for number 0, which makes a file of its own
        {0x10001, 4}, // the clock's count goes round: 65,537 starts at the taken number 3
        {0xFFFE, 4},  // 65,535 is taken: on from 1
        {7, 8},
    };
    for (const Case &c : aCases) {
        char szName[MAX_PATH];
        ASSERT_TRUE(MakeTempAviNameFrom(szName, c.dwStart));
        EXPECT_EQ(std::string(szName), nameOf(c.uNumber)) << c.dwStart;
        EXPECT_EQ(ListFolder(strTempDir).size(), 4u) << "a name was made as a file";
    }
    char szName[MAX_PATH];
    SetEnvironmentVariableA("TMP", ("C:\\" + std::string(300, 't')).c_str());
    EXPECT_FALSE(MakeTempAviName(szName)) << "a temporary folder that gives no name";
    SetEnvironmentVariableA("TMP", strTempDir.c_str());
}
