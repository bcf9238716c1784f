#pragma once

// How many of a batch's conversions run at a time: asked when above 0,
// else one per processor; one for a format that must go one at a time.
int BatchJobs(int type, int asked);
