#pragma once
#include "encode/CEncoderOptions.h"
#include "settings/CAudioInfo.h"

// Puts what the user's settings record holds (the MP3, WMA, FLAC and Opus
// options, the volume, whether tags are copied) into a conversion's plain options; the rest stay as they are.
void ApplySettings(const CAudioInfo& settings, CEncoderOptions& options);
