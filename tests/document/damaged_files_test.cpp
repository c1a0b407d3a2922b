// Damaged and unusual files made from valid seeds: cut at every structural boundary and inside chunks, and every
// header, stream header, format and index field set to 0, 1, -1, the largest positive value and a value past the file's
// end. Each is opened as the user opens it: it opens, the last frame shows and it saves into a file ffmpeg reads, or it
// is refused with the can't-open message; never a crash, a hang or silence, and no working copy left behind.
#include "app/app_state.h"
#include "document/document_state.h"
#include "document/file_commands.h"
#include "document/save_commands.h"
#include "resources/resource.h"
#include "support/harness.h"

#include <map>

namespace {

struct Chunk {
    size_t off;        // of the chunk's id
    DWORD cb;          // its size field
    std::string strId; // id, and list type after a '/'
};

// The chunks of a well-formed RIFF, lists first and then what they hold.
void WalkChunks(const std::string &b, size_t off, size_t offEnd, std::vector<Chunk> *pchunks)
{
    while (off + 8 <= offEnd) {
        DWORD cb = *(const DWORD *)&b[off + 4];
        std::string strId = b.substr(off, 4);
        bool fList = strId == "RIFF" || strId == "LIST";
        pchunks->push_back({off, cb, fList ? strId + "/" + b.substr(off + 8, 4) : strId});
        if (fList)
            WalkChunks(b, off + 12, std::min(offEnd, off + 8 + cb), pchunks);
        off += 8 + cb + (cb & 1);
    }
}

// Where each field of a header chunk lies, by its chunk id and the stream type for 'strf'.
const std::map<std::string, std::vector<size_t>> fields = {
    {"avih", {0, 4, 8, 12, 16, 20, 24, 28, 32, 36}}, // microseconds a frame ... width, height
    {"strh", {0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 44, 48, 52}},
    {"strf/vids", {0, 4, 8, 12, 14, 16, 20, 32}}, // size, width, height, planes, bits, compression, image size, colours
    {"strf/auds", {0, 2, 4, 8, 12, 14, 16}},      // tag, channels, rate, bytes a second, block, bits, extra size
    {"idx1", {0, 4, 8, 12, 16, 20, 24, 28}},      // the first two entries
};

struct Damaged {
    std::string strName, strBytes;
    bool fValid = false; // a seed itself, which must open
};

void MakeDamaged(const std::string &strSeedName, const std::string &seed, bool fFields, std::vector<Damaged> *pdamaged)
{
    std::vector<Chunk> chunks;
    WalkChunks(seed, 0, seed.size(), &chunks);
    std::string strStreamType;
    for (const Chunk &ck : chunks) {
        std::string strWhere = strSeedName + " " + ck.strId + "@" + std::to_string(ck.off);
        // Cuts at the chunk's start, after its header, and inside its data; only the first chunks of the movie.
        if (ck.off < 2048 || ck.strId.rfind("idx1", 0) == 0 || ck.strId.rfind("LIST", 0) == 0)
            for (size_t cut : {ck.off, ck.off + 8, ck.off + 8 + ck.cb / 2})
                if (cut < seed.size())
                    pdamaged->push_back({strWhere + " cut at " + std::to_string(cut), seed.substr(0, cut)});
        if (ck.strId == "strh")
            strStreamType = seed.substr(ck.off + 8, 4);
        std::string strKey = ck.strId == "strf" ? "strf/" + strStreamType : ck.strId;
        if (!fFields)
            continue;
        std::vector<size_t> offsets = {size_t(-4)}; // the chunk's size field
        if (fields.count(strKey))
            offsets.insert(offsets.end(), fields.at(strKey).begin(), fields.at(strKey).end());
        for (size_t offField : offsets) {
            size_t off = ck.off + 8 + offField;
            if (off + 4 > ck.off + 8 + ck.cb && offField != size_t(-4))
                continue;
            for (DWORD dw : {0ul, 1ul, 0xFFFFFFFFul, 0x7FFFFFFFul, (DWORD)seed.size() + 1000ul}) {
                std::string strBytes = seed;
                memcpy(&strBytes[off], &dw, 4);
                pdamaged->push_back(
                    {strWhere + " +" + std::to_string((long)offField) + " = " + std::to_string(dw), strBytes});
            }
        }
    }
}

} // namespace

using DamagedFilesTest = ProgramTest;

TEST_F(DamagedFilesTest, EachOpensWhole_OrIsRefusedWithAMessage)
{
    const std::string strPattern = "-f lavfi -i testsrc=size=32x24:rate=10:duration=0.6 ";
    const std::string strTone = "-f lavfi -i sine=sample_rate=22050:duration=0.6 ";
    // Header fields are changed in the first seed; the others, unusual but valid, are cut. Each seed as it is must
    // open, but for MP3 sound, which the platform's AVI library cannot read. The last, six frames of 8-bit RLE, is
    // written by the platform's writer: ffmpeg makes no RLE.
    const std::pair<std::string, std::string> seeds[] = {
        {"raw",
         strPattern + "-f lavfi -i sine=sample_rate=8000:duration=0.6 -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le"},
        {"cinepak", strPattern + strTone + "-c:v cinepak -c:a adpcm_ima_wav"},
        {"palette, 8-bit sound, odd size", "-f lavfi -i testsrc=size=33x17:rate=10:duration=0.6 " + strTone +
                                               "-c:v rawvideo -pix_fmt pal8 -c:a pcm_u8 -ar 11025 -ac 1"},
        {"MP3 first", strPattern + strTone + "-map 1:a -map 0:v -c:v msvideo1 -c:a libmp3lame"},
        {"two videos, MS ADPCM", strPattern + "-f lavfi -i testsrc=size=16x8:rate=5:duration=0.6 " + strTone +
                                     "-map 1:v -map 0:v -map 2:a -c:v rawvideo -pix_fmt bgr24 -c:a adpcm_ms"},
        {"RLE", ""},
    };
    AviSpec rle;
    rle.fRle = true, rle.cFrames = 6, rle.dwRate = 10;
    ASSERT_TRUE(MakeAviFile(AddFile("RLE.avi"), rle));
    std::vector<Damaged> damaged;
    for (auto &[strName, strArguments] : seeds) {
        std::string strSeed = strArguments.empty() ? strTempDir + "RLE.avi" : MakeMedia(strName + ".avi", strArguments);
        MakeDamaged(strName, ReadFileBytes(strSeed), strName == "raw", &damaged);
        damaged.push_back({strName + " as it is", ReadFileBytes(strSeed), strName != "MP3 first"});
    }
    ASSERT_GE(damaged.size(), 300u);
    std::string strPath = AddFile("damaged.avi"), strSaved = AddFile("saved.avi");
    auto answerOnce = [this](std::function<void()> step) { // a message, if one comes, is answered with OK
        size_t cSeen = robot.Seen().size();
        robot.ExpectButton(IDOK);
        step();
        robot.ForgetAnswers();
        return robot.Seen().size() > cSeen;
    };
    for (const Damaged &d : damaged) {
        SCOPED_TRACE(d.strName);
        WriteFileBytes(strPath, d.strBytes);
        bool fRefused = answerOnce([&] { OpenFilePath(strPath.c_str()); });
        EXPECT_FALSE(d.fValid && fRefused) << "a valid file refused";
        if (fRefused) {
            EXPECT_NE(robot.Seen().back().strText.find(strPath), std::string::npos) << "another message";
        } else {
            ASSERT_EQ(std::string(szFileName), strPath) << "neither opened nor refused";
            Command(IDM_LAST_FRAME);
            EXPECT_EQ(lCurTime, lEndTime - 1);
        }
        // What opened saves, into a file ffmpeg reads.
        bool fSaved = !fRefused && !answerOnce([&] { SaveDocumentAs(strSaved.c_str()); }) &&
                      RunHostCommand("ffmpeg -v error -i '" + ToHostPath(strSaved) + "' -f null -");
        EXPECT_TRUE(fRefused || fSaved) << "opened, but not saved";
        EXPECT_LE(ListFolder(strTempDir, "~CT*").size(), 1u) << "a working copy left behind";
    }
    EXPECT_TRUE(SendMessageTimeoutA(hwndMain, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, NULL)) << "no answer";
}
