#pragma once
#include "TestRegistryBranch.h"
#include "ui/CResDllHandle.h"
#include <gtest/gtest.h>

// The settings dialogs' templates live in "Res.dll"; tests of what they show
// need it beside the test program.
#define REQUIRE_RES_DLL()                                                                          \
    if (!ResDllHandle.GetModule())                                                                 \
    GTEST_SKIP() << "needs Res.dll beside the test program"

// Tests of what the dialogs do without "Res.dll".
#define REQUIRE_NO_RES_DLL()                                                                       \
    if (ResDllHandle.GetModule())                                                                  \
    GTEST_SKIP() << "needs a run without Res.dll"

// An integer of section "DATA" as the registry holds it, or -12345 when absent.
int StoredInt(const wchar_t* key);
