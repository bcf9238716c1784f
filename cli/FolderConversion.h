#pragma once
#include "cli/CCommandLine.h"
#include "decode/CDecAnyAudio.h"

// Every file of the folder as the batch converts them, up to jobs at a
// time: the outputs are named before any is written, as one conversion
// after another would name them, and each thread converts with writers of
// its own; an output whose name another program took meanwhile moves on to
// the next free name. Ctrl+C interrupts the running conversions, which put
// nothing in place, and starts no more.
// 0 when all succeeded (or the folder holds no file, which is said),
// kInterrupted when interrupted, else the first failure's number in the
// folder's order.
int ConvertFolder(const CCommandLine& line, const CEncoderOptions& options, DecoderChoice decoder,
                  int jobs);
