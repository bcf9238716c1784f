#include "decode/SourceConnection.h"
#include <gtest/gtest.h>

#include <uuids.h>

// A parser is remembered only for a source class and a subtype that name one
// kind of stream: not for a null one, nor for a subtype any parser takes.
TEST(SourceConnection, AParserIsRememberedOnlyForOneNamedKindOfStream) {
    struct Case {
        const char* name;
        CLSID source;
        GUID subtype;
        bool key;
    };
    for (const Case& c : {Case{"WAVE", CLSID_AsyncReader, MEDIASUBTYPE_WAVE, true},
                          Case{"MPEG audio", CLSID_AsyncReader, MEDIASUBTYPE_MPEG1Audio, true},
                          Case{"null subtype", CLSID_AsyncReader, MEDIASUBTYPE_NULL, false},
                          Case{"no subtype", CLSID_AsyncReader, MEDIASUBTYPE_None, false},
                          Case{"null source", GUID_NULL, MEDIASUBTYPE_WAVE, false}})
        EXPECT_EQ(c.key, IsParserKey(c.source, c.subtype)) << c.name;
}
