// The stage clocks: performance-counter ticks added up per stage. Only the thread that opens and saves times
// anything, so plain fields serve.
#include "app/stage_times.h"

static LONGLONG allStageTicks[STAGE_COUNT];

static LONGLONG ReadCounter()
{
    LARGE_INTEGER li;
    QueryPerformanceCounter(&li);
    return li.QuadPart;
}

StageTimer::StageTimer(WorkStage stageTimed) : stage(stageTimed), llStart(ReadCounter())
{
}

StageTimer::~StageTimer()
{
    allStageTicks[stage] += ReadCounter() - llStart;
}

void ResetStageTimes()
{
    for (LONGLONG &llTicks : allStageTicks)
        llTicks = 0;
}

double GetStageSeconds(WorkStage stage)
{
    LARGE_INTEGER liFrequency;
    QueryPerformanceFrequency(&liFrequency);
    return (double)allStageTicks[stage] / (double)liFrequency.QuadPart;
}
