#include "ErrorMessages.h"
#include "ui/Language.h"
#include <cstdio>

namespace {

struct ErrorText {
    int number;
    unsigned japaneseId;
};

// Each source owns its own numbers; the IDs do not follow the numbers' order.
constexpr ErrorText kErrorTexts[] = {
    {-42, 10263},  {-41, 10261},  {-6, 10103},   {-5, 10101},   {-4, 10115},   {-3, 10105},
    {-1, 10107},   {103, 10109},  {501, 10111},  {502, 10113},  {601, 10117},  {602, 10119},
    {603, 10121},  {701, 10123},  {702, 10125},  {703, 10127},  {800, 10129},  {802, 10219},
    {803, 10221},  {806, 10223},  {807, 10225},  {808, 10227},  {809, 10229},  {810, 10231},
    {811, 10233},  {812, 10235},  {813, 10237},  {814, 10239},  {815, 10241},  {840, 10257},
    {841, 10259},  {901, 10265},  {911, 10267},  {912, 10273},  {915, 10269},  {1002, 10131}, {1003, 10133},
    {1004, 10135}, {1005, 10137}, {1006, 10139}, {1007, 10141}, {1009, 10143}, {1107, 10145},
    {1201, 10147}, {2001, 10149}, {2002, 10151}, {2003, 10153}, {2004, 10155}, {2005, 10157},
    {2006, 10159}, {2105, 10161}, {2107, 10163}, {2109, 10165}, {2115, 10167}, {2201, 10169},
    {2202, 10171}, {3001, 10173}, {3002, 10175}, {3003, 10177}, {3004, 10179}, {3005, 10181},
    {3007, 10183}, {3008, 10185}, {4001, 10187}, {4002, 10189}, {4003, 10191}, {4004, 10193},
    {5003, 10195}, {5004, 10197}, {5006, 10199}, {5007, 10201}, {5008, 10203}, {6001, 10207},
    {6002, 10209}, {6004, 10213}, {6005, 10211}, {6006, 10215}, {6007, 10277}, {6008, 10279}, {6100, 10217}, {6201, 10275},
    {6301, 10281}, {6302, 10283}, {6311, 10285}, {6401, 10287}, {6402, 10289}, {8001, 10205},
    {8201, 10243}, {8202, 10245}, {8203, 10247}, {8204, 10249}, {8205, 10251}, {8301, 10253},
    {8302, 10255},
};

constexpr unsigned kUnknownNumberId = 10271;

} // namespace

unsigned ErrorTextId(int number) {
    if (number == 0 || number == -2)
        return 0;
    for (const ErrorText& entry : kErrorTexts)
        if (entry.number == number)
            return entry.japaneseId;
    return kUnknownNumberId;
}

std::wstring GetErrorText(int number) {
    unsigned id = ErrorTextId(number);
    return id ? LoadResPairedString(id, id + 1) : std::wstring();
}

std::wstring ErrorHeading(int number) {
    wchar_t heading[32];
    std::swprintf(heading, 32, L"Error No.%04d", number);
    return heading;
}

std::wstring ErrorLine(int number) {
    const std::wstring text = GetErrorText(number);
    return text.empty() ? ErrorHeading(number) : ErrorHeading(number) + L" - " + text;
}

std::wstring CoverLeftOutText(const std::wstring& input) {
    return PickLanguage(L"カバー画像を省きました (出力の形式に収まりません): ",
                        L"Cover left out (the output format cannot hold it): ") +
           input;
}
