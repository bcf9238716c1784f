#pragma once
#include "CMp3Packet.h"
#include "CStreamSummary.h"
#include <vector>

// Checks shared by the tests of the frame chain and the info frame.

std::vector<CMp3Packet> Unpacked(const std::vector<unsigned char>& bytes);

// The summary of music frames as LAME gathers it while it writes them.
CStreamSummary SummaryOf(const std::vector<unsigned char>& music);

// Every packet through one chain, the finished bytes taken after each.
std::vector<unsigned char> Rechained(const std::vector<CMp3Packet>& packets);

// The stream is as CFrameChain must write it: each frame's main data right
// after the previous frame's, or the largest main_data_begin back from its
// slot when that is later; every other slot byte zero.
void ExpectChained(const std::vector<unsigned char>& bytes);

// The same frames: headers, side information but main_data_begin, main data.
void ExpectSamePackets(const std::vector<CMp3Packet>& expected, const std::vector<CMp3Packet>& actual);

// How many frames carry a CRC that matches their header and side information.
int FramesWithValidCrc(const std::vector<unsigned char>& bytes);
