#pragma once
#include "gogo/gogo.h"
#include <cstddef>

// The recording fake gogo.dll reads its behaviour from and records its calls
// in this record, which lives in the test executable and is exported by it:
// the record outlives every loading and unloading of the fake.
struct FakeGoGoCall {
    char name[24];
    int item;
    uintptr_t value1, value2;
    GOGO_INPUT input;     // a copy of the record given with item 1
    bool outputFileFound; // whether the watched output file existed at the call
};

struct FakeGoGoHost {
    int initializeResult, detectResult, frameResult, closeResult, endResult;
    unsigned long frameBytes;  // read through the input function by each frame
    unsigned long frameOutput; // written through the output function by each frame

    int attachCount;
    int callCount;
    FakeGoGoCall calls[64];
    GOGO_INPUT_FUNC input;
    GOGO_OUTPUT_FUNC output;
    int lastInputResult;
    int rewindResult;
    unsigned char* sink; // every byte read through the input function
    size_t sinkCapacity, sinkSize;
    const wchar_t* watchedPath;
};

using FakeGoGoHostStateProc = FakeGoGoHost* (*)();
