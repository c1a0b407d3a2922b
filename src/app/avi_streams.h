// The streams of an AVI file as the program takes them: the first video and the first audio stream, each
// in its slot, a stream's format, and the time axis of a sound.
#pragma once

#include <windows.h>
#include <vfw.h>

#include <vector>

#include "app/app_state.h"

// The stream slot of a stream type: SLOT_VIDEO, SLOT_AUDIO, or -1 for any other type.
int GetSlotOfType(DWORD fccType);
// Fills apavis, by slot, with the first stream of each type of pfile, looking at every stream the file
// declares; a slot without such a stream stays null. The caller releases the streams it got.
void FindFirstStreams(PAVIFILE pfile, PAVISTREAM apavis[SLOT_COUNT]);
// Reads the format of pavis at its start into *pFormat. FALSE when the stream gives none.
BOOL ReadStreamFormat(PAVISTREAM pavis, std::vector<BYTE> *pFormat);
// Reads a sound's format: a short PCM format gets the rest of a WAVEFORMATEX behind it, its extra size 0.
const WAVEFORMATEX *ReadWaveFormat(PAVISTREAM pavis, std::vector<BYTE> *pFormat);
// FALSE for a sound whose format makes no sense (no kind, no channels, a rate no sound card plays, PCM whose blocks
// are not whole sample frames): what the program wrote of it no other program could read.
BOOL IsUsableSound(PAVISTREAM pavis);
// The same for a format: a known kind, 1 to 8 channels, a rate a sound card could play, and for PCM blocks of whole
// sample frames. A sound no codec here decodes may still be written out as it is.
BOOL IsUsableWaveFormat(const WAVEFORMATEX *pwfx);
// A sound's rate and scale for a stream header that other programs read right: samples of its decoded sound a
// second, and in one of its stream's samples. A video's are left as they are.
void SetSoundRate(PAVISTREAM pavis, AVISTREAMINFOA *psi);
// Milliseconds of a stream's sample, and the sample at a time; a sound is timed by its wave format.
LONG GetTimeOfSample(PAVISTREAM pavis, LONG lSample);
LONG GetSampleAtTime(PAVISTREAM pavis, LONG lTime);
