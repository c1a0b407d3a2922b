// Where the time of the open and the save goes: each stage adds up the time spent in it while the program runs,
// for the benchmark to read. A few counter reads a frame; nothing the user sees.
#pragma once

#include <windows.h>

enum WorkStage {
    STAGE_HEADER_CHECK,    // the open's checks of the user's file before it is copied
    STAGE_COPY_PROCESS,    // the open's copy process, from its start to its end, as the program waits for it
    STAGE_DOCUMENT_OPEN,   // the working copy opened as the document and shown
    STAGE_FRAME_READ,      // frames of the document read (and decoded where they must be) for the annotated write
    STAGE_COMPOSE,         // a frame made into the saved picture, with the figure laid over it in the figure range
    STAGE_READBACK,        // composed pixels read back from the work surface
    STAGE_ANNOTATED_WRITE, // samples written into the annotated file
    STAGE_COPY_READ,       // samples read by a copy (the open's working copy, the save's final copy)
    STAGE_COPY_WRITE,      // samples written by a copy
    STAGE_FILE_CLOSE,      // a written file closed: the platform writes its index and headers
    STAGE_HEADER_REPAIR,   // a written file's headers checked against its data
    STAGE_WHOLENESS_CHECK, // a written file read through once
    STAGE_COUNT
};

// Adds the time from its making to its end to its stage.
class StageTimer {
public:
    explicit StageTimer(WorkStage stageTimed);
    ~StageTimer();
    StageTimer(const StageTimer &) = delete;
    StageTimer &operator=(const StageTimer &) = delete;

private:
    WorkStage stage;
    LONGLONG llStart;
};

void ResetStageTimes();
// The time spent in a stage since the last reset, in seconds.
double GetStageSeconds(WorkStage stage);
