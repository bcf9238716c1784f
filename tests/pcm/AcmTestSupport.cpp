#include "AcmTestSupport.h"
#include "pcm/CWaveFileACM.h"
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <msacm.h>

WAVEFORMATEX Pcm(DWORD rate, WORD channels, WORD bits) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = bits;
    format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    return format;
}

Bytes Record(WORD tag, WORD extraSize, WORD blockAlign) {
    Bytes record(sizeof(WAVEFORMATEX) + extraSize);
    WAVEFORMATEX head = Pcm(8000, 1, 16);
    head.wFormatTag = tag;
    head.nBlockAlign = blockAlign;
    head.cbSize = extraSize;
    std::memcpy(record.data(), &head, sizeof head);
    for (WORD i = 0; i < extraSize; ++i)
        record[sizeof head + i] = static_cast<uint8_t>(i + 1);
    return record;
}

const WAVEFORMATEX* AsFormat(const Bytes& record) {
    return reinterpret_cast<const WAVEFORMATEX*>(record.data());
}

Bytes RecordOf(const WAVEFORMATEX& format) {
    const auto* first = reinterpret_cast<const uint8_t*>(&format);
    return Bytes(first, first + sizeof format + format.cbSize);
}

namespace {

struct FormatSearch {
    DWORD rate;
    WORD channels;
    Bytes found;
};

BOOL CALLBACK TakeMatchingFormat(HACMDRIVERID, LPACMFORMATDETAILSW details, DWORD_PTR context,
                                 DWORD) {
    auto* search = reinterpret_cast<FormatSearch*>(context);
    const WAVEFORMATEX* format = details->pwfx;
    if (format->nSamplesPerSec != search->rate || format->nChannels != search->channels)
        return TRUE;
    search->found.assign(reinterpret_cast<const uint8_t*>(format),
                         reinterpret_cast<const uint8_t*>(format) + sizeof(WAVEFORMATEX) +
                             format->cbSize);
    return FALSE;
}

} // namespace

Bytes DriverFormat(WORD tag, DWORD rate, WORD channels) {
    Bytes buffer(1024);
    auto* format = reinterpret_cast<WAVEFORMATEX*>(buffer.data());
    format->wFormatTag = tag;
    ACMFORMATDETAILSW details{};
    details.cbStruct = sizeof details;
    details.dwFormatTag = tag;
    details.pwfx = format;
    details.cbwfx = static_cast<DWORD>(buffer.size());
    FormatSearch search{rate, channels, {}};
    acmFormatEnumW(nullptr, &details, TakeMatchingFormat, reinterpret_cast<DWORD_PTR>(&search),
                   ACM_FORMATENUMF_WFORMATTAG);
    return search.found;
}

Bytes SuggestedFormat(const WAVEFORMATEX& source, WORD tag) {
    Bytes buffer(256);
    auto* format = reinterpret_cast<WAVEFORMATEX*>(buffer.data());
    format->wFormatTag = tag;
    if (acmFormatSuggest(nullptr, const_cast<WAVEFORMATEX*>(&source), format,
                         static_cast<DWORD>(buffer.size()), ACM_FORMATSUGGESTF_WFORMATTAG) != 0)
        return {};
    buffer.resize(sizeof(WAVEFORMATEX) + format->cbSize);
    return buffer;
}

bool RunningOnWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

ByteImage& ByteImage::Tag(const char* fourCharacters) {
    bytes.insert(bytes.end(), fourCharacters, fourCharacters + 4);
    return *this;
}

ByteImage& ByteImage::U16(uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    return *this;
}

ByteImage& ByteImage::U32(uint32_t value) {
    U16(static_cast<uint16_t>(value));
    return U16(static_cast<uint16_t>(value >> 16));
}

ByteImage& ByteImage::Append(const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return *this;
}

uint32_t U32At(const Bytes& bytes, size_t offset) {
    if (offset + 4 > bytes.size())
        return 0xDEADBEEF;
    uint32_t value;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

Bytes Slice(const Bytes& bytes, size_t offset, size_t count) {
    if (offset > bytes.size())
        return {};
    count = std::min(count, bytes.size() - offset);
    return Bytes(bytes.begin() + static_cast<long>(offset),
                 bytes.begin() + static_cast<long>(offset + count));
}

Bytes Pattern(size_t count) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

namespace {

const std::wstring& ScratchFolder() {
    static const std::wstring folder = [] {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const std::wstring path = std::wstring(temp) + L"zep-acm-tests";
        CreateDirectoryW(path.c_str(), nullptr);
        return path + L"\\";
    }();
    return folder;
}

} // namespace

ScratchFile::ScratchFile(const wchar_t* name) : path(ScratchFolder() + name) {
    DeleteFileW(path.c_str());
}

ScratchFile::~ScratchFile() { DeleteFileW(path.c_str()); }

Bytes ReadWholeFile(const std::wstring& path) {
    Bytes bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    if (!bytes.empty())
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool AcmMediaAvailable() { return std::getenv("ZEP_TEST_ACM_MEDIA") != nullptr; }

std::wstring AcmMediaPath(const std::string& name) {
    const char* folder = std::getenv("ZEP_TEST_ACM_MEDIA");
    const std::string hostPath = std::string(folder ? folder : "") + "/" + name;
    std::wstring path = L"Z:";
    for (char c : hostPath)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::wstring AcmOutputPath(const std::string& name) { return AcmMediaPath("out/" + name); }

std::vector<int16_t> ToSamples(const Bytes& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

double SnrDb(const std::vector<int16_t>& reference, const std::vector<int16_t>& test) {
    double signal = 0.0, noise = 0.0;
    const size_t n = std::min(reference.size(), test.size());
    for (size_t i = 0; i < n; ++i) {
        const double r = reference[i], d = r - test[i];
        signal += r * r;
        noise += d * d;
    }
    return noise <= 0.0 ? 200.0 : 10.0 * std::log10(signal / noise);
}

namespace {

HWND WaitForChooser() {
    for (int i = 0; i < 500; ++i) {
        HWND dialog = FindWindowW(nullptr, L"Sound Selection");
        DWORD process = 0;
        if (dialog && GetWindowThreadProcessId(dialog, &process) &&
            process == GetCurrentProcessId() && IsWindowVisible(dialog))
            return dialog;
        Sleep(20);
    }
    return nullptr;
}

} // namespace

ChooserDriver::ChooserDriver(std::function<void(HWND dialog)> steps)
    : worker([this, steps] {
          HWND dialog = WaitForChooser();
          sawDialog = dialog != nullptr;
          if (dialog)
              steps(dialog);
      }) {}

ChooserDriver::~ChooserDriver() { Join(); }

void ChooserDriver::Join() {
    if (worker.joinable())
        worker.join();
}

void SelectListItem(HWND dialog, int listId, const wchar_t* textPrefix) {
    HWND list = GetDlgItem(dialog, listId);
    const LRESULT index = SendMessageW(list, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(textPrefix));
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

void ClearListSelection(HWND dialog, int listId) {
    HWND list = GetDlgItem(dialog, listId);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

std::wstring SelectedListText(HWND dialog, int listId) {
    HWND list = GetDlgItem(dialog, listId);
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return L"";
    std::wstring text(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXTLEN, index, 0)) + 1,
                      L'\0');
    SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(wcslen(text.c_str()));
    return text;
}

void PressButton(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

const char* const AcmInputName = "in-44100-2.raw";

namespace {

const DWORD BlockFrames[] = {1, 3, 1001, 40000, 7, 512, 100000, 2};

DWORD WriteInVaryingBlocks(CWaveFileACM& wave, const Bytes& input, DWORD frameSize) {
    DWORD offset = 0, taken = 0;
    for (size_t i = 0; offset < input.size(); ++i) {
        const DWORD wanted = BlockFrames[i % std::size(BlockFrames)] * frameSize;
        const DWORD count = std::min<DWORD>(wanted, static_cast<DWORD>(input.size()) - offset);
        const int result = wave.Write(input.data() + offset, static_cast<int>(count));
        EXPECT_EQ(static_cast<int>(count), result);
        if (result < 0)
            break;
        offset += count;
        taken += static_cast<DWORD>(result);
    }
    return taken / frameSize;
}

} // namespace

Written WriteInput(CWaveFileACM& wave, const std::string& outputName) {
    Written written;
    const Bytes input = ReadWholeFile(AcmMediaPath(AcmInputName));
    EXPECT_GT(input.size(), 100000u);
    const std::wstring path = AcmOutputPath(outputName);
    const DWORD frameSize = wave.GetSourceFormat().nBlockAlign;
    if (wave.OpenWrite(path) != 1) {
        ADD_FAILURE() << "OpenWrite failed for " << outputName;
        return written;
    }
    written.inputFrames = WriteInVaryingBlocks(wave, input, frameSize);
    EXPECT_EQ(input.size() / frameSize, written.inputFrames);
    EXPECT_EQ(1, wave.Close());
    written.file = ReadWholeFile(path);
    return written;
}

DWORD FormatChunkSize(const Bytes& file) { return U32At(file, 16); }

DWORD FactValue(const Bytes& file) { return U32At(file, 28 + ((FormatChunkSize(file) + 1) & ~1u)); }

DWORD DataSize(const Bytes& file) { return U32At(file, 36 + ((FormatChunkSize(file) + 1) & ~1u)); }
