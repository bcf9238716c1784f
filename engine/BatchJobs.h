#pragma once

// How many of a batch's conversions run at a time: asked when above 0,
// else one per processor; one for MP3 output (Layer3-WAV too) when
// gogo.dll keeps a single encoder for all threads.
int BatchJobs(int type, int asked);
