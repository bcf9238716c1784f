#include "engine/COutputFormat.h"
#include "resources/ErrorNumbers.h"
#include <gtest/gtest.h>

// The saved slots keep their meaning, and each format is found by its -f name.
TEST(COutputFormat, EachSavedSlotKeepsItsFormat) {
    const struct {
        int type;
        const wchar_t *command, *extension;
        int fileError;
    } slots[] = {{OutputWavAcm, L"wav", L".wav", kWavFileError},
                 {OutputLayer3Wav, L"l3wav", L".wav", kMp3FileError},
                 {OutputMp3, L"mp3", L".mp3", kMp3FileError},
                 {OutputWma, L"wma", L".wma", kWmaFileError},
                 {OutputFlac, L"flac", L".flac", kFlacFileError},
                 {OutputOpus, L"opus", L".opus", kOpusFileError}};
    for (const auto& slot : slots) {
        const COutputFormat* format = OutputFormatOf(slot.type);
        ASSERT_NE(nullptr, format);
        EXPECT_STREQ(slot.extension, format->extension);
        EXPECT_EQ(slot.fileError, format->fileError);
        EXPECT_EQ(slot.type, OutputTypeNamed(slot.command));
    }
    EXPECT_EQ(nullptr, OutputFormatOf(-1));
    EXPECT_EQ(nullptr, OutputFormatOf(static_cast<int>(OutputFormats().size())));
    EXPECT_EQ(-1, OutputTypeNamed(L"ogg"));
}
