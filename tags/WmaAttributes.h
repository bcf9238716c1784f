#pragma once
#include "tags/CTagRecord.h"
#include <string>
#include <vector>

// One attribute of a Windows Media file's header, as the writer's
// IWMHeaderInfo takes it: name, type and value bytes.
struct CWmaAttribute {
    enum class Type { String, DWord, Binary };
    std::wstring name;
    Type type = Type::String;
    // String: UTF-16LE with its ending zero. DWord: 4 bytes, little-endian.
    // Binary (WM/Picture): the fields of WM_PICTURE in the form the file
    // stores them: picture type (1 byte, 3 = front cover), data length
    // (4 bytes, little-endian), MIME type and description (UTF-16LE, each with
    // its ending zero), the data. SetAttribute takes the platform's
    // WM_PICTURE instead, whose fields point at the record's front cover.
    std::vector<unsigned char> value;
};

// The record as header attributes: Title, Author, WM/AlbumTitle,
// WM/AlbumArtist, WM/Composer, WM/Genre, WM/Year, WM/TrackNumber (DWORD) and
// TOTALTRACKS, WM/PartOfSet ("n/N"), Description, WM/Picture; other fields
// under their Windows Media names where they have one, else their own, one
// attribute per value.
std::vector<CWmaAttribute> WmaAttributes(const CTagRecord& record);
