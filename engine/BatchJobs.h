#pragma once
#include "encode/CEncoderOptions.h"
#include <cstddef>

// How many of a batch's conversions run at a time: asked when above 0,
// else one per processor; one for a format that must go one at a time.
int BatchJobs(int type, int asked);

// The threads one file's split MP3 stream is encoded on in a batch of jobs
// conversions at a time, filesLeft of them still to start (this one
// included): the configured number (0: one per processor) when files go
// one at a time; else one while the files keep every processor busy, and
// the processors shared among the last ones. The bytes do not depend on it.
int FileThreads(int configured, int jobs, size_t filesLeft);

// The threads of one file's mp3 (as configured) and FLAC (every processor)
// by that rule; one conversion alone is jobs 1.
void ShareThreads(CEncoderOptions& options, int jobs, size_t filesLeft);
