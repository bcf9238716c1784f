#include "TagWriter.h"
#include "RiffTagChunks.h"
#include "resources/ErrorNumbers.h"
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

using namespace TagLib;

namespace {

void AddText(ID3v2::Tag& tag, const char* id, const std::wstring& text) {
    if (text.empty())
        return;
    auto frame = new ID3v2::TextIdentificationFrame(id, String::UTF16);
    frame->setText(String(text));
    tag.addFrame(frame);
}

// ID3v2.3 keeps only the year of a date (TYER); TagLib turns the genre into
// its v2.3 form on rendering.
void FillId3v2(ID3v2::Tag& tag, const CTagRecord& record, bool withPicture) {
    AddText(tag, "TIT2", record.title);
    AddText(tag, "TPE1", record.artist);
    AddText(tag, "TALB", record.album);
    AddText(tag, "TPE2", record.albumArtist);
    AddText(tag, "TCOM", record.composer);
    AddText(tag, "TCON", record.genre);
    AddText(tag, "TYER", record.Year());
    AddText(tag, "TRCK", record.Track());
    AddText(tag, "TPOS", record.Disc());
    if (!record.comment.empty()) {
        auto comment = new ID3v2::CommentsFrame(String::UTF16);
        comment->setLanguage("eng");
        comment->setText(String(record.comment));
        tag.addFrame(comment);
    }
    for (const auto& other : record.others) {
        StringList values;
        for (const std::wstring& value : other.second)
            values.append(String(value));
        tag.addFrame(
            new ID3v2::UserTextIdentificationFrame(String(other.first), values, String::UTF16));
    }
    const CTagPicture& cover = record.frontCover;
    if (withPicture && !cover.data.empty()) {
        auto picture = new ID3v2::AttachedPictureFrame;
        picture->setTextEncoding(String::UTF16);
        picture->setMimeType(String(cover.mimeType));
        picture->setType(ID3v2::AttachedPictureFrame::FrontCover);
        picture->setDescription(String(cover.description));
        picture->setPicture(ByteVector(reinterpret_cast<const char*>(cover.data.data()),
                                       static_cast<unsigned>(cover.data.size())));
        tag.addFrame(picture);
    }
}

CChunkBytes Id3Chunk(const CTagRecord& record, bool withPicture) {
    ID3v2::Tag tag;
    FillId3v2(tag, record, withPicture);
    const ByteVector bytes = tag.render(ID3v2::v3);
    return RiffChunk("id3 ", CChunkBytes(bytes.begin(), bytes.end()));
}

CChunkBytes Joined(CChunkBytes first, const CChunkBytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

} // namespace

int WriteMp3Tags(const std::wstring& path, const CTagRecord& record, bool* coverLeftOut) {
    if (coverLeftOut)
        *coverLeftOut = false; // ID3v2 holds 256 MB, far beyond any cover read
    if (record.Empty())
        return 0;
    try {
        MPEG::File file(path.c_str(), false);
        if (!file.isOpen() || file.readOnly() || !file.strip(MPEG::File::AllTags))
            return kTagWriteFailed;
        const long audioSize = file.length();
        ID3v2::Tag* tag = file.ID3v2Tag(true);
        FillId3v2(*tag, record, true);
        if (!file.save(MPEG::File::ID3v2, File::StripOthers, ID3v2::v3, File::DoNotDuplicate))
            return kTagWriteFailed;
        // TagLib does not report failed writes (a full disk); the length does.
        const long tagSize = static_cast<long>(tag->header()->completeTagSize());
        return file.length() == audioSize + tagSize ? 0 : kTagWriteFailed;
    } catch (...) {
        return kTagWriteFailed;
    }
}

int WriteWaveTags(const std::wstring& path, const CTagRecord& record, bool* coverLeftOut) {
    if (coverLeftOut)
        *coverLeftOut = false;
    if (record.Empty())
        return 0;
    try {
        const CChunkBytes info = InfoListChunk(record);
        std::vector<CChunkBytes> choices = {Joined(info, Id3Chunk(record, true))};
        if (!record.frontCover.data.empty())
            choices.push_back(Joined(info, Id3Chunk(record, false)));
        size_t taken = 0;
        const int result = PutTagChunks(path, choices, &taken);
        if (coverLeftOut)
            *coverLeftOut = result == 0 && !record.frontCover.data.empty() && taken > 0;
        return result;
    } catch (...) {
        return kTagWriteFailed;
    }
}
