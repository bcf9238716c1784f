#pragma once
#include "cli/CCommandLine.h"
#include "decode/CDecAnyAudio.h"

// The folder's batch (its tree with -r) as the batch converts it, up to
// jobs at a time: the plan names every output before any is written, and
// each thread converts with writers of its own; an output whose name
// another program took meanwhile moves on to the next free name. Ctrl+C
// interrupts the running conversions, which put nothing in place, and
// starts no more. The counts end it on standard output.
// 0 when all succeeded (or the folder holds no file, which is said),
// kInterrupted when interrupted, else the first failure's number in the
// folder's order.
int ConvertFolder(const CCommandLine& line, const CEncoderOptions& options, DecoderChoice decoder,
                  int jobs);
