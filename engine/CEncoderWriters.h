#pragma once
#include "encode/CEncGOGO.h"
#include "encode/CEncWMVWMA.h"
#include "pcm/CWaveFileACM.h"

// The writers a thread's conversions write through, one of each kind: they
// load their libraries when made, so a batch makes one set per worker
// before any conversion starts.
struct CEncoderWriters {
    CWaveFileACM& wav;
    CEncGOGO& mp3;
    CEncWMVWMA& wma;
};
