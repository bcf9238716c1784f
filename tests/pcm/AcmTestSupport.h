#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <mmreg.h>
#include <string>
#include <thread>
#include <vector>

class CWaveFileACM;

using Bytes = std::vector<uint8_t>;

WAVEFORMATEX Pcm(DWORD rate, WORD channels, WORD bits);
// A format record of the given tag and extra size, the extra bytes counting up.
Bytes Record(WORD tag, WORD extraSize, WORD blockAlign);
const WAVEFORMATEX* AsFormat(const Bytes& record);
Bytes RecordOf(const WAVEFORMATEX& format);
// A codec's own format record as its ACM driver lists it; empty when none.
Bytes DriverFormat(WORD tag, DWORD rate, WORD channels);
// The ACM's suggestion of a format of the given tag for the PCM source.
Bytes SuggestedFormat(const WAVEFORMATEX& source, WORD tag);
bool RunningOnWine();

// Little-endian file images, built field by field.
class ByteImage {
  public:
    ByteImage& Tag(const char* fourCharacters);
    ByteImage& U16(uint16_t value);
    ByteImage& U32(uint32_t value);
    ByteImage& Append(const Bytes& more);
    const Bytes& Get() const { return bytes; }

  private:
    Bytes bytes;
};
uint32_t U32At(const Bytes& bytes, size_t offset);
Bytes Slice(const Bytes& bytes, size_t offset, size_t count);
Bytes Pattern(size_t count);

// A file in a folder of this test run's own, deleted with the object.
class ScratchFile {
  public:
    explicit ScratchFile(const wchar_t* name);
    ~ScratchFile();
    const std::wstring& Path() const { return path; }

  private:
    std::wstring path;
};
Bytes ReadWholeFile(const std::wstring& path);
bool WriteWholeFile(const std::wstring& path, const Bytes& bytes);

// Inputs made by tests/media/make-acm-media.sh; ZEP_TEST_ACM_MEDIA names
// their folder as a host path, reached through Wine's Z: drive. Outputs for
// the host's checks go to its "out" folder.
bool AcmMediaAvailable();
std::wstring AcmMediaPath(const std::string& name);
std::wstring AcmOutputPath(const std::string& name);
std::vector<int16_t> ToSamples(const Bytes& bytes);
double SnrDb(const std::vector<int16_t>& reference, const std::vector<int16_t>& test);

// Drives the system format chooser from a second thread while the test's
// own thread sits in the dialog's modal loop.
class ChooserDriver {
  public:
    explicit ChooserDriver(std::function<void(HWND dialog)> steps);
    ~ChooserDriver();
    // Waits for the steps to end.
    bool SawDialog() {
        Join();
        return sawDialog;
    }
    void Join();

  private:
    std::thread worker;
    bool sawDialog = false;
};
constexpr int ChooserTagList = 101;
constexpr int ChooserAttributesList = 102;
void SelectListItem(HWND dialog, int listId, const wchar_t* textPrefix);
void ClearListSelection(HWND dialog, int listId);
std::wstring SelectedListText(HWND dialog, int listId);
void PressButton(HWND dialog, int buttonId);

// The host-made input: 44.1 kHz 16-bit stereo PCM.
extern const char* const AcmInputName;
struct Written {
    Bytes file;
    DWORD inputFrames = 0;
};
// Writes the input through wave, whose formats are set, into out/outputName,
// in blocks of varying size: tiny, odd, and larger than any staging buffer,
// so that staging, straight conversion and the final flush all run.
Written WriteInput(CWaveFileACM& wave, const std::string& outputName);
DWORD FormatChunkSize(const Bytes& file);
DWORD FactValue(const Bytes& file);
DWORD DataSize(const Bytes& file);
