#include "TagReader.h"
#include "TagText.h"
#include <memory>
#include <set>
#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>
#include <taglib/trueaudiofile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

using namespace TagLib;

namespace {

// Larger pictures are damage or no cover worth carrying into every output.
constexpr unsigned kMaxPictureBytes = 16u << 20;

std::string BytesUpToZero(const ByteVector& data) {
    const std::string bytes(data.data(), data.size());
    return bytes.substr(0, bytes.find('\0'));
}

String Latin1OrShiftJis(const ByteVector& data) {
    std::wstring text;
    if (DecodeStrictly(932, BytesUpToZero(data), text))
        return String(text);
    return String(data, String::Latin1);
}

// Japanese taggers wrote Shift-JIS where the formats say Latin-1.
class CShiftJisId3v2Text : public ID3v2::Latin1StringHandler {
  public:
    String parse(const ByteVector& data) const override { return Latin1OrShiftJis(data); }
};
class CShiftJisId3v1Text : public ID3v1::StringHandler {
  public:
    String parse(const ByteVector& data) const override {
        return Latin1OrShiftJis(data).stripWhiteSpace();
    }
};

// INFO text has no declared encoding: TagLib and ffmpeg write UTF-8, older
// Windows tools the system's ANSI code page.
class CInfoText : public RIFF::Info::StringHandler {
  public:
    String parse(const ByteVector& data) const override {
        const std::string bytes = BytesUpToZero(data);
        std::wstring text;
        if (DecodeStrictly(CP_UTF8, bytes, text) || DecodeStrictly(CP_ACP, bytes, text))
            return String(text);
        return String(data, String::Latin1);
    }
};

// TagLib's hooks are global; set them once, before the first file.
void InstallTextHandlers() {
    static const CInfoText info;
    static const CShiftJisId3v2Text id3v2;
    static const CShiftJisId3v1Text id3v1;
    static const bool installed = [] {
        RIFF::Info::Tag::setStringHandler(&info);
        if (JapaneseAnsiCodePage()) {
            ID3v2::Tag::setLatin1StringHandler(&id3v2);
            ID3v1::Tag::setStringHandler(&id3v1);
        }
        return true;
    }();
    (void)installed;
}

// Fields that describe the input's encoding, not its music: they would be
// wrong for the output (the encoder, its gapless data, gains of the old audio).
bool DescribesTheEncoding(const std::string& key) {
    static const std::set<std::string> names = {"ENCODING", "ENCODER",  "ISFT",
                                                "ITUNSMPB", "ITUNNORM", "ITUNPGAP"};
    const size_t colon = key.find(':');
    return names.count(key) || names.count(key.substr(colon + 1)) ||
           key.compare(0, 11, "REPLAYGAIN_") == 0;
}

class CRecordBuilder {
  public:
    explicit CRecordBuilder(CTagRecord& record) : record(record) {}

    // Fields of a tag not given by an earlier one.
    void AddFields(const PropertyMap& fields) {
        for (const auto& field : fields) {
            const std::string key = field.first.upper().to8Bit(true);
            if (field.second.isEmpty() || DescribesTheEncoding(key) || !seen.insert(key).second)
                continue;
            if (key == "TRACKTOTAL" || key == "TOTALTRACKS")
                trackTotal = field.second.front().toInt();
            else if (key == "DISCTOTAL" || key == "TOTALDISCS")
                discTotal = field.second.front().toInt();
            else
                record.Add(field.first.toWString(), Texts(field.second));
        }
    }

    // The first front cover, else the first picture at all.
    void OfferPicture(bool front, const String& mimeType, const String& description,
                      const ByteVector& data) {
        if (data.isEmpty() || data.size() > kMaxPictureBytes || frontTaken ||
            (!front && !record.frontCover.data.empty()))
            return;
        record.frontCover = {mimeType.to8Bit(), description.toWString(),
                             std::vector<unsigned char>(data.begin(), data.end())};
        frontTaken = front;
    }

    void AddPictures(const List<FLAC::Picture*>& pictures) {
        for (const FLAC::Picture* picture : pictures)
            OfferPicture(picture->type() == FLAC::Picture::FrontCover, picture->mimeType(),
                         picture->description(), picture->data());
    }

    void AddId3v2(const ID3v2::Tag* tag) {
        if (!tag)
            return;
        AddFields(tag->properties());
        for (const ID3v2::Frame* frame : tag->frameList("APIC")) {
            if (auto picture = dynamic_cast<const ID3v2::AttachedPictureFrame*>(frame))
                OfferPicture(picture->type() == ID3v2::AttachedPictureFrame::FrontCover,
                             picture->mimeType(), picture->description(), picture->picture());
        }
    }

    // Totals given apart from the numbers count where the numbers gave none.
    void Finish() {
        if (!record.trackCount && trackTotal > 0)
            record.trackCount = static_cast<unsigned>(trackTotal);
        if (!record.discCount && discTotal > 0)
            record.discCount = static_cast<unsigned>(discTotal);
    }

  private:
    static std::vector<std::wstring> Texts(const StringList& values) {
        std::vector<std::wstring> texts;
        for (const String& value : values)
            texts.push_back(value.toWString());
        return texts;
    }

    CTagRecord& record;
    std::set<std::string> seen;
    int trackTotal = 0, discTotal = 0;
    bool frontTaken = false;
};

PropertyMap InfoFields(const RIFF::Info::Tag& info) {
    static const std::pair<const char*, const char*> names[] = {
        {"INAM", "TITLE"},       {"IART", "ARTIST"},      {"IPRD", "ALBUM"},
        {"ICRD", "DATE"},        {"IGNR", "GENRE"},       {"ICMT", "COMMENT"},
        {"ITRK", "TRACKNUMBER"}, {"IPRT", "TRACKNUMBER"}, {"ICOP", "COPYRIGHT"}};
    PropertyMap fields;
    for (const auto& chunk : info.fieldListMap()) {
        String key(chunk.first, String::Latin1);
        for (const auto& name : names)
            if (chunk.first == name.first)
                key = name.second;
        if (!fields.contains(key))
            fields.insert(key, StringList(chunk.second));
    }
    return fields;
}

// TagLib names only the attributes it knows; those other programs (and ours,
// such as TOTALTRACKS) add under names of their own are read by them.
PropertyMap OwnNamedAttributes(const ASF::Tag& tag) {
    PropertyMap fields;
    for (const auto& attributes : tag.attributeListMap()) {
        if (attributes.first.find("/") >= 0)
            continue;
        for (const ASF::Attribute& attribute : attributes.second) {
            if (attribute.type() == ASF::Attribute::UnicodeType)
                fields[attributes.first.upper()].append(attribute.toString());
            else if (attribute.type() == ASF::Attribute::DWordType)
                fields[attributes.first.upper()].append(String::number(attribute.toUInt()));
        }
    }
    return fields;
}

// The picture's type by its first bytes: APEv2 items name only a file.
String MimeTypeOf(const ByteVector& data) {
    if (data.startsWith("\x89PNG"))
        return "image/png";
    if (data.startsWith("\xFF\xD8"))
        return "image/jpeg";
    if (data.startsWith("GIF8"))
        return "image/gif";
    if (data.startsWith("BM"))
        return "image/bmp";
    return "image/unknown";
}

// An APEv2 tag (WavPack, Monkey's Audio, some mp3): its fields, and its cover
// item, the picture's file name, a zero byte, then the picture.
void AddApe(const APE::Tag* tag, CRecordBuilder& builder) {
    if (!tag)
        return;
    builder.AddFields(tag->properties());
    for (const char* key : {"COVER ART (FRONT)", "COVER ART (OTHER)"}) {
        const auto found = tag->itemListMap().find(key);
        if (found == tag->itemListMap().end() || found->second.type() != APE::Item::Binary)
            continue;
        const ByteVector item = found->second.binaryData();
        const int zero = item.find('\0');
        if (zero < 0)
            continue;
        const ByteVector picture = item.mid(static_cast<unsigned>(zero) + 1);
        builder.OfferPicture(key[10] == 'F', MimeTypeOf(picture), String(), picture);
    }
}

void AddMp4Covers(const MP4::Tag* tag, CRecordBuilder& builder) {
    if (!tag || !tag->contains("covr"))
        return;
    for (const MP4::CoverArt& cover : tag->item("covr").toCoverArtList())
        builder.OfferPicture(true, MimeTypeOf(cover.data()), String(), cover.data());
}

void ReadFile(File& file, CRecordBuilder& builder) {
    if (auto mpeg = dynamic_cast<MPEG::File*>(&file)) {
        builder.AddId3v2(mpeg->hasID3v2Tag() ? mpeg->ID3v2Tag() : nullptr);
        AddApe(mpeg->hasAPETag() ? mpeg->APETag() : nullptr, builder);
        if (mpeg->hasID3v1Tag())
            builder.AddFields(mpeg->ID3v1Tag()->properties());
    } else if (auto wav = dynamic_cast<RIFF::WAV::File*>(&file)) {
        builder.AddId3v2(wav->hasID3v2Tag() ? wav->ID3v2Tag() : nullptr);
        if (wav->hasInfoTag())
            builder.AddFields(InfoFields(*wav->InfoTag()));
    } else if (auto flac = dynamic_cast<FLAC::File*>(&file)) {
        builder.AddFields(flac->properties());
        builder.AddPictures(flac->pictureList());
        if (flac->hasXiphComment())
            builder.AddPictures(flac->xiphComment()->pictureList());
        builder.AddId3v2(flac->hasID3v2Tag() ? flac->ID3v2Tag() : nullptr);
    } else if (auto asf = dynamic_cast<ASF::File*>(&file)) {
        builder.AddFields(asf->properties());
        builder.AddFields(OwnNamedAttributes(*asf->tag()));
        for (const ASF::Attribute& attribute : asf->tag()->attribute("WM/Picture")) {
            const ASF::Picture picture = attribute.toPicture();
            if (picture.isValid())
                builder.OfferPicture(picture.type() == ASF::Picture::FrontCover, picture.mimeType(),
                                     picture.description(), picture.picture());
        }
    } else if (auto wavPack = dynamic_cast<WavPack::File*>(&file)) {
        AddApe(wavPack->hasAPETag() ? wavPack->APETag() : nullptr, builder);
        builder.AddFields(wavPack->properties());
    } else if (auto monkeys = dynamic_cast<APE::File*>(&file)) {
        AddApe(monkeys->hasAPETag() ? monkeys->APETag() : nullptr, builder);
        builder.AddFields(monkeys->properties());
    } else if (auto aiff = dynamic_cast<RIFF::AIFF::File*>(&file)) {
        builder.AddId3v2(aiff->hasID3v2Tag() ? aiff->tag() : nullptr);
    } else if (auto trueAudio = dynamic_cast<TrueAudio::File*>(&file)) {
        builder.AddId3v2(trueAudio->hasID3v2Tag() ? trueAudio->ID3v2Tag() : nullptr);
        builder.AddFields(trueAudio->properties());
    } else if (auto mp4 = dynamic_cast<MP4::File*>(&file)) {
        builder.AddFields(mp4->properties());
        AddMp4Covers(mp4->tag(), builder);
    } else {
        builder.AddFields(file.properties());
        if (auto comment = dynamic_cast<Ogg::XiphComment*>(file.tag()))
            builder.AddPictures(comment->pictureList());
    }
}

using Opener = std::unique_ptr<File> (*)(IOStream& stream);

template <class Type> std::unique_ptr<File> OpenAs(IOStream& stream) {
    return std::make_unique<Type>(&stream, false);
}

template <class Type> std::unique_ptr<File> OpenWithId3(IOStream& stream) {
    return std::make_unique<Type>(&stream, ID3v2::FrameFactory::instance(), false);
}

// The kinds whose tags are read: by the name's extension (".ogg.oga"), else
// by content, mp3 last, as a frame sync turns up in almost any file. TagLib's
// own resolver is not used: it would also link its tracker-module readers,
// which come under another licence.
struct CKind {
    const wchar_t* extensions;
    Opener open;
    bool (*holds)(IOStream* stream);
};
const CKind kKinds[] = {
    {L".flac", OpenWithId3<FLAC::File>, FLAC::File::isSupported},
    {L".ogg.oga", OpenAs<Ogg::Vorbis::File>, Ogg::Vorbis::File::isSupported},
    {L".opus", OpenAs<Ogg::Opus::File>, Ogg::Opus::File::isSupported},
    {L"", OpenAs<Ogg::FLAC::File>, Ogg::FLAC::File::isSupported},
    {L".wav", OpenAs<RIFF::WAV::File>, RIFF::WAV::File::isSupported},
    {L".wma.asf", OpenAs<ASF::File>, ASF::File::isSupported},
    {L".m4a.m4b.mp4", OpenAs<MP4::File>, MP4::File::isSupported},
    {L".wv", OpenAs<WavPack::File>, WavPack::File::isSupported},
    {L".ape", OpenAs<APE::File>, APE::File::isSupported},
    {L".aif.aiff.aifc", OpenAs<RIFF::AIFF::File>, RIFF::AIFF::File::isSupported},
    {L".tta", OpenWithId3<TrueAudio::File>, TrueAudio::File::isSupported},
    {L".mp3.mp2", OpenWithId3<MPEG::File>, MPEG::File::isSupported},
};

std::unique_ptr<File> OpenTagFile(const std::wstring& path, IOStream& stream) {
    const size_t dot = path.find_last_of(L".\\/");
    const std::wstring extension =
        dot != std::wstring::npos && path[dot] == L'.' ? UpperCase(path.substr(dot)) + L"." : L"";
    for (const CKind& kind : kKinds) {
        const bool named =
            !extension.empty() &&
            UpperCase(std::wstring(kind.extensions) + L".").find(extension) != std::wstring::npos;
        if (named) {
            std::unique_ptr<File> file = kind.open(stream);
            if (file->isValid())
                return file;
        }
    }
    for (const CKind& kind : kKinds) {
        if (kind.holds(&stream)) {
            std::unique_ptr<File> file = kind.open(stream);
            if (file->isValid())
                return file;
        }
    }
    return nullptr;
}

} // namespace

CTagRecord ReadTags(const std::wstring& path) {
    CTagRecord record;
    // TagLib reports damage by what it leaves out; only a failed allocation
    // for a huge tag can throw. The fields read until then are kept.
    try {
        InstallTextHandlers();
        FileStream stream(path.c_str(), true);
        if (!stream.isOpen())
            return record;
        const std::unique_ptr<File> file = OpenTagFile(path, stream);
        if (!file)
            return record;
        CRecordBuilder builder(record);
        ReadFile(*file, builder);
        builder.Finish();
    } catch (...) {
    }
    return record;
}
