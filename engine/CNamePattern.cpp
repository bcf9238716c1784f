#include "CNamePattern.h"
#include "framework/PathSplit.h"
#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace {

// Room left in a folder's 255 characters for the extension and a "_conv<n>".
constexpr size_t kLongestName = 200;

bool IsForbidden(wchar_t c) { return c < 32 || std::wcschr(L"<>:\"/\\|?*", c) != nullptr; }

bool IsDeviceName(const std::wstring& name) {
    // The system takes "CON.txt" for CON as well.
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    static const wchar_t* const devices[] = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (const wchar_t* device : devices)
        if (_wcsicmp(base.c_str(), device) == 0)
            return true;
    return base.size() == 4 &&
           (_wcsnicmp(base.c_str(), L"COM", 3) == 0 || _wcsnicmp(base.c_str(), L"LPT", 3) == 0) &&
           base[3] >= L'1' && base[3] <= L'9';
}

void DropTrailingDotsAndSpaces(std::wstring& name) {
    while (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        name.pop_back();
}

// A tag's text as one name's part: it makes no folder, and a value of dots
// alone never names the folder itself or its parent.
std::wstring TagPart(std::wstring value) {
    if (value.find_first_not_of(L'.') == std::wstring::npos)
        value.assign(value.size(), L'_');
    for (wchar_t& c : value)
        if (c == L'\\' || c == L'/')
            c = L'_';
    return value;
}

struct Segment {
    std::wstring text;
    bool field = false, dropped = false;
};

// A field that gives nothing takes the separator after it along, or the one
// before it when it ends the name.
std::wstring JoinName(std::vector<Segment>& segments) {
    const size_t count = segments.size();
    auto isField = [&](size_t at) { return at < count && segments[at].field; };
    for (size_t at = 0; at < count; ++at) {
        if (!segments[at].field || !segments[at].text.empty())
            continue;
        bool fieldAfter = false;
        for (size_t later = at + 1; later < count; ++later)
            fieldAfter = fieldAfter || segments[later].field;
        if (fieldAfter && !isField(at + 1))
            segments[at + 1].dropped = true;
        else if (!fieldAfter && at >= 2 && !isField(at - 1) && isField(at - 2))
            segments[at - 1].dropped = true;
    }
    std::wstring name;
    for (const Segment& segment : segments)
        if (!segment.dropped)
            name += segment.text;
    segments.clear();
    return LegalFileName(name);
}

} // namespace

std::wstring LegalFileName(const std::wstring& name) {
    std::wstring legal = name;
    for (wchar_t& c : legal)
        if (IsForbidden(c))
            c = L'_';
    if (legal.size() > kLongestName) {
        // Never between the two halves of a surrogate pair.
        size_t cut = kLongestName;
        if (legal[cut] >= 0xDC00 && legal[cut] <= 0xDFFF)
            --cut;
        legal.resize(cut);
    }
    DropTrailingDotsAndSpaces(legal);
    // "COM1.txt" names the device as well: the mark goes before the dot.
    if (IsDeviceName(legal))
        legal.insert(std::min(legal.find(L'.'), legal.size()), 1, L'_');
    return legal;
}

CNamePattern::CNamePattern(const std::wstring& pattern, Unknown unknown)
    : unknown(std::move(unknown)) {
    Parse(pattern);
}

void CNamePattern::Parse(const std::wstring& pattern) {
    static const struct {
        const wchar_t* name;
        Field field;
    } fields[] = {
        {L"albumartist", Field::AlbumArtist},
        {L"artist", Field::Artist},
        {L"album", Field::Album},
        {L"title", Field::Title},
        {L"track", Field::Track},
        {L"disc", Field::Disc},
        {L"year", Field::Year},
        {L"genre", Field::Genre},
        {L"composer", Field::Composer},
        {L"filename", Field::FileName},
        {L"folder", Field::Folder},
    };
    if (pattern.size() >= 2 && pattern[1] == L':')
        fault = Mistake::LeavesFolder;
    if (!pattern.empty() && (pattern[0] == L'\\' || pattern[0] == L'/'))
        fault = Mistake::LeavesFolder;
    std::wstring component; // of text alone, to find "." and ".."
    bool onlyText = true;
    auto endComponent = [&] {
        if (onlyText && (component == L"." || component == L".."))
            fault = Mistake::LeavesFolder;
        component.clear();
        onlyText = true;
    };
    for (size_t at = 0; at < pattern.size(); ++at) {
        const wchar_t c = pattern[at];
        if (c == L'\\' || c == L'/') {
            endComponent();
            parts.push_back({Field::Break, {}});
        } else if (c == L'<') {
            const size_t close = pattern.find(L'>', at);
            const std::wstring name = close == std::wstring::npos
                                          ? std::wstring()
                                          : pattern.substr(at + 1, close - at - 1);
            Field field = Field::Text;
            for (const auto& known : fields)
                if (_wcsicmp(name.c_str(), known.name) == 0)
                    field = known.field;
            if (field == Field::Text) {
                fault = Mistake::UnknownField;
                return;
            }
            parts.push_back({field, {}});
            onlyText = false;
            at = close;
        } else {
            if (parts.empty() || parts.back().field != Field::Text)
                parts.push_back({Field::Text, {}});
            parts.back().text += c;
            component += c;
        }
    }
    endComponent();
}

bool CNamePattern::NeedsTags() const {
    for (const Part& part : parts)
        if (part.field != Field::Text && part.field != Field::Break &&
            part.field != Field::FileName && part.field != Field::Folder)
            return true;
    return false;
}

std::wstring CNamePattern::Value(Field field, const CTagRecord& tags,
                                 const std::wstring& input) const {
    auto orUnknown = [](const std::wstring& value, const std::wstring& fallback) {
        return value.empty() ? fallback : value;
    };
    switch (field) {
    case Field::AlbumArtist:
        return orUnknown(tags.albumArtist.empty() ? tags.artist : tags.albumArtist, unknown.artist);
    case Field::Artist:
        return orUnknown(tags.artist, unknown.artist);
    case Field::Album:
        return orUnknown(tags.album, unknown.album);
    case Field::Title:
        return orUnknown(tags.title, SplitName(input));
    case Field::Track: {
        if (tags.track == 0)
            return std::wstring();
        wchar_t text[16];
        std::swprintf(text, 16, L"%02u", tags.track);
        return text;
    }
    case Field::Disc:
        return tags.disc == 0 ? std::wstring() : std::to_wstring(tags.disc);
    case Field::Year:
        return tags.Year();
    case Field::Genre:
        return tags.genre;
    case Field::Composer:
        return tags.composer;
    case Field::FileName:
        return SplitName(input);
    default:
        return std::wstring();
    }
}

std::wstring CNamePattern::Name(const CTagRecord& tags, const std::wstring& input,
                                const std::wstring& relativeFolder) const {
    std::vector<std::wstring> names;
    std::vector<Segment> segments;
    auto endName = [&] {
        std::wstring name = JoinName(segments);
        if (!name.empty())
            names.push_back(name); // an empty folder level is left out
    };
    for (const Part& part : parts) {
        if (part.field == Field::Break) {
            endName();
        } else if (part.field == Field::Text) {
            segments.push_back({part.text, false});
        } else if (part.field == Field::Folder) {
            // The batch's own folders, already names the system took.
            std::wstring rest = relativeFolder;
            for (size_t split; (split = rest.find(L'\\')) != std::wstring::npos;
                 rest.erase(0, split + 1)) {
                segments.push_back({TagPart(rest.substr(0, split)), true});
                endName();
            }
            segments.push_back({TagPart(rest), true});
        } else {
            segments.push_back({TagPart(Value(part.field, tags, input)), true});
        }
    }
    std::wstring file = JoinName(segments);
    if (file.empty())
        file = LegalFileName(TagPart(SplitName(input)));
    if (file.empty())
        file = L"_";
    std::wstring path;
    for (const std::wstring& name : names)
        path += name + L"\\";
    return path + file;
}
