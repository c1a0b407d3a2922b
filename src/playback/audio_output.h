// The audio output: the document's sound through the waveform device, and the audio clock of playback.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

// Plays the samples lFrom up to lTo (exclusive) of pavis; a negative lFrom is the stream's start, a negative lTo
// its end. While a request plays, only its end moves. hwndNotify receives the device's MM_WOM_ messages.
// FALSE when nothing sounds: a format the device cannot take, no device, or nothing to play.
BOOL AudioPlay(HWND hwndNotify, PAVISTREAM pavis, LONG lFrom, LONG lTo);
// Silences the device at once and closes it.
void AudioStop();
// The device handed back buffer pwh of device hwo (MM_WOM_DONE); the header is compared, never read.
void OnAudioBufferDone(HWAVEOUT hwo, const WAVEHDR *pwh);
// Milliseconds on the stream's time axis of the sound now playing; -1 when the sound gives no clock.
// Safe on any thread.
LONG AudioTime();
// dwCount samples or bytes at dwPerSec a second, in milliseconds rounded to the nearest; -1 for a rate of 0.
LONG GetAudioMilliseconds(DWORD dwCount, DWORD dwPerSec);
