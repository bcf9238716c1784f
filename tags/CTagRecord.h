#pragma once
#include <string>
#include <utility>
#include <vector>

// A picture carried with the tags. Empty data: none.
struct CTagPicture {
    std::string mimeType;
    std::wstring description;
    std::vector<unsigned char> data;
};

// What an input's tags say, in plain form: read from the input, carried with
// its conversion job, written into the output. Knows no file format.
struct CTagRecord {
    std::wstring title, artist, album, albumArtist, composer, genre, date, comment;
    unsigned track = 0, trackCount = 0, disc = 0, discCount = 0; // n/N; 0: none
    // Any other text field: its name and values, in the order read.
    std::vector<std::pair<std::wstring, std::vector<std::wstring>>> others;
    CTagPicture frontCover;

    bool Empty() const;
    // Sets or replaces a field by its user-facing name, as the command line's
    // --tag NAME=VALUE gives it: TITLE, ARTIST, ALBUM, ALBUMARTIST, COMPOSER,
    // GENRE, DATE, COMMENT, TRACK and DISC ("n" or "n/N"; TRACKNUMBER and
    // DISCNUMBER too), in any letter case; any other name is one of others.
    // An empty value removes the field.
    void Set(const std::wstring& name, const std::wstring& value);
    // A field as a tag holds it: a named field takes the values joined by
    // "; ", any other name is one more of others.
    void Add(const std::wstring& name, const std::vector<std::wstring>& values);
    // The year the date begins with (its first four digits); empty when it
    // does not begin with one. For formats that keep only a year.
    std::wstring Year() const;
    // "n/N", "n" without a count, empty without a number.
    std::wstring Track() const;
    std::wstring Disc() const;
};
