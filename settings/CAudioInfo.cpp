#include "CAudioInfo.h"
#include "Profile.h"

namespace {
const wchar_t* const kSection = L"DATA";
}

CAudioInfo::CAudioInfo() { Load(); }

CAudioInfo::CAudioInfo(const CAudioInfo& other) { CopyFrom(other); }

CAudioInfo::~CAudioInfo() { Save(); }

void CAudioInfo::Load() {
    EncType = ProfileGetInt(kSection, L"EncType", 1);
    cbr_bps = ProfileGetInt(kSection, L"cbr_bps", 160);
    vbr = ProfileGetInt(kSection, L"vbr", 0);
    Qual = ProfileGetInt(kSection, L"Qual", 0);
    vbr_bps = ProfileGetInt(kSection, L"vbr_bps", 160);
    wma7 = ProfileGetInt(kSection, L"wma7", 24);
    wma4 = ProfileGetInt(kSection, L"wma4", 11);
    wmaPRX = ProfileGetString(kSection, L"wmaPRX", L"");
    wma2Pass = ProfileGetInt(kSection, L"wma2Pass", 0);
    wmaSelect = ProfileGetInt(kSection, L"wmaSelect", 1);
    VOL = ProfileGetInt(kSection, L"VOL", 100);
    copyTags = ProfileGetInt(kSection, L"CopyTags", 1);
    flacLevel = ProfileGetInt(kSection, L"FlacLevel", 5);
    flacVerify = ProfileGetInt(kSection, L"FlacVerify", 1);
    flacBits = ProfileGetInt(kSection, L"FlacBits", 0);
    flacRate = ProfileGetInt(kSection, L"FlacRate", 0);
    opusKbps = ProfileGetInt(kSection, L"OpusBitrate", 160);
    opusMode = ProfileGetInt(kSection, L"OpusMode", 0);
    mp3Threads = ProfileGetInt(kSection, L"Mp3Threads", 0);
    decoder = ProfileGetInt(kSection, L"Decoder", 0);
}

void CAudioInfo::Save() const {
    ProfileWriteInt(kSection, L"EncType", EncType);
    ProfileWriteInt(kSection, L"cbr_bps", cbr_bps);
    ProfileWriteInt(kSection, L"vbr", vbr);
    ProfileWriteInt(kSection, L"Qual", Qual);
    ProfileWriteInt(kSection, L"vbr_bps", vbr_bps);
    ProfileWriteInt(kSection, L"wma7", wma7);
    ProfileWriteInt(kSection, L"wma4", wma4);
    ProfileWriteString(kSection, L"wmaPRX", wmaPRX.c_str());
    ProfileWriteInt(kSection, L"wma2Pass", wma2Pass);
    ProfileWriteInt(kSection, L"wmaSelect", wmaSelect);
    ProfileWriteInt(kSection, L"VOL", VOL);
    ProfileWriteInt(kSection, L"CopyTags", copyTags);
    ProfileWriteInt(kSection, L"FlacLevel", flacLevel);
    ProfileWriteInt(kSection, L"FlacVerify", flacVerify);
    ProfileWriteInt(kSection, L"FlacBits", flacBits);
    ProfileWriteInt(kSection, L"FlacRate", flacRate);
    ProfileWriteInt(kSection, L"OpusBitrate", opusKbps);
    ProfileWriteInt(kSection, L"OpusMode", opusMode);
    ProfileWriteInt(kSection, L"Mp3Threads", mp3Threads);
    ProfileWriteInt(kSection, L"Decoder", decoder);
}

void CAudioInfo::CopyFrom(const CAudioInfo& other) {
    EncType = other.EncType;
    cbr_bps = other.cbr_bps;
    vbr = other.vbr;
    Qual = other.Qual;
    vbr_bps = other.vbr_bps;
    wma7 = other.wma7;
    wma4 = other.wma4;
    wmaPRX = other.wmaPRX;
    wma2Pass = other.wma2Pass;
    wmaSelect = other.wmaSelect;
    VOL = other.VOL;
    copyTags = other.copyTags;
    flacLevel = other.flacLevel;
    flacVerify = other.flacVerify;
    flacBits = other.flacBits;
    flacRate = other.flacRate;
    opusKbps = other.opusKbps;
    opusMode = other.opusMode;
    decoder = other.decoder;
    mp3Threads = other.mp3Threads;
}
