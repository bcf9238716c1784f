#pragma once
#include "tags/CTagRecord.h"
#include <string>
#include <vector>

// A batch output's name made from its input's tags, as
// "<albumartist>\<album>\<track> - <title>" makes it. Only the pattern's
// own backslashes make folders; a value's slashes, dots and drive letters
// never do. Every name it makes is a legal Windows name below the output
// folder.
class CNamePattern {
  public:
    // The texts of a missing artist and album, in the user's language.
    struct Unknown {
        std::wstring artist, album;
    };

    // An empty pattern makes no name: the batch names its outputs as before.
    CNamePattern(const std::wstring& pattern, Unknown unknown);

    bool Empty() const { return parts.empty(); }
    enum class Mistake { None, UnknownField, LeavesFolder };
    // What makes the pattern unusable: a field it does not know (or one
    // left open), or a way out of the output folder ("..", a drive, a root).
    Mistake Fault() const { return fault; }
    // Whether a name needs the input's tags (else they are not read).
    bool NeedsTags() const;

    // The output's path below the output folder, without extension: input's
    // tags, its path, and its folder relative to the batch's folder.
    std::wstring Name(const CTagRecord& tags, const std::wstring& input,
                      const std::wstring& relativeFolder) const;

  private:
    enum class Field {
        Text,
        Break,
        AlbumArtist,
        Artist,
        Album,
        Title,
        Track,
        Disc,
        Year,
        Genre,
        Composer,
        FileName,
        Folder
    };
    struct Part {
        Field field;
        std::wstring text; // of Text
    };
    void Parse(const std::wstring& pattern);
    std::wstring Value(Field field, const CTagRecord& tags, const std::wstring& input) const;

    std::vector<Part> parts;
    Unknown unknown;
    Mistake fault = Mistake::None;
};

// A name (no folders) Windows takes: forbidden characters and slashes
// become "_", trailing dots and spaces go, a device name (CON, NUL, COM1, ...)
// gets a "_" before its dot, and it is cut to a length any folder can hold. Empty stays empty.
std::wstring LegalFileName(const std::wstring& name);
