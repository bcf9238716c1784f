// ZEPc: ZEP's conversions from the command line, for scripts and scheduled
// jobs. The same engine, decoders, encoders, settings and texts as ZEP.exe.
#include "cli/CCommandLine.h"
#include "cli/CConsoleConverter.h"
#include "cli/ConsoleText.h"
#include "cli/FolderConversion.h"
#include "encode/CGoGoStab.h"
#include "engine/BatchJobs.h"
#include "engine/OutputNaming.h"
#include "framework/PathSplit.h"
#include "pcm/AcmFormats.h"
#include "resources/ErrorNumbers.h"
#include "settings/EncoderOptions.h"
#include "settings/Profile.h"
#include "ui/Language.h"
#include "ZepVersion.h"
#include <mutex>
#include <vector>

namespace {

constexpr int kUsageMistake = 2;

// Exit codes of the failures that have no error number of their own; none
// is an error number, nor its low byte (all a shell under Wine sees).
constexpr struct {
    int result, exitCode;
} kExitCodes[] = {
    {kCancelled, 3},          // gogo.dll missing or damaged
    {kMp3SettingsRefused, 4}, // gogo.dll refused the MP3 settings
    {kMp3BitRateRefused, 5},  // gogo.dll refused the bit rate
    {kInterrupted, 130},      // Ctrl+C, Ctrl+Break, a closed console: as a shell counts SIGINT
};

int ExitCode(int result) {
    for (const auto& code : kExitCodes)
        if (code.result == result)
            return code.exitCode;
    return result;
}

// Every -f value, with the main window's name where that differs.
std::wstring FormatList() {
    std::wstring list;
    for (const COutputFormat& format : OutputFormats()) {
        list += (list.empty() ? L"" : L", ") + std::wstring(format.commandName);
        if (_wcsicmp(format.commandName, format.listName) != 0)
            list += L" (" + std::wstring(format.listName) + L")";
    }
    return list;
}

std::wstring HelpText() {
    const std::wstring names = FormatCommandNames(L"|");
    return PickLanguage(
        L"使い方: ZEPc 入力 [-o 出力] -f " + names +
            L" [オプション]\n"
            L"        ZEPc フォルダ -f " +
            names +
            L" [オプション]\n"
            L"フォルダを指定すると、その中のオーディオファイルをバッチと同じ順序と名前で変換し、"
            L"\n"
            L"件数を 1 行で表示します (画像、テキスト、キューシート、ログなどは対象外)。\n"
            L"  -o 出力          出力ファイル (省略時は入力の隣に形式の拡張子で)。\n"
            L"                   フォルダでは出力先のフォルダ (下のフォルダ構成をそのまま作成)\n"
            L"  -r               フォルダの下のフォルダも変換\n"
            L"  --name パターン   タグから出力名を作る: <albumartist>\\<album>\\<track> - <title>\n"
            L"                   (<artist> <year> <genre> <disc> <composer> <filename> <folder> も)\n"
            L"  --skip-existing  出力がすでにある入力は変換しない\n"
            L"  --update         出力より新しい入力だけ変換し直す (失敗しても古い出力は残る)\n"
            L"  -f 形式          " +
            FormatList() +
            L"\n"
            L"  --volume パーセント  音量\n"
            L"  --bitrate kbps   MP3 のビットレート\n"
            L"  --vbr 品質       MP3 を可変ビットレートで (0 最高 .. 9)\n"
            L"  --mode モード    MP3 のチャンネル: mono, stereo, joint, ms, dual\n"
            L"  --wma4 番号 / --wma7 番号  WMA のシステムプロファイル (4.0 / 7.0)\n"
            L"  --wma-file パス [--two-pass]  WMA のプロファイルファイル\n"
            L"  --acm 名前 [--rate Hz] [--channels 数] [--bits 数]  WAV のコーデックと形式\n"
            L"                   (--acm PCM だけなら入力のビット数とチャンネルのまま)\n"
            L"  --flac-level 数   FLAC の圧縮レベル (0 高速 .. 8 高圧縮)\n"
            L"  --flac-bits 16|24  FLAC のビット数 (省略時は入力のまま)\n"
            L"  --flac-rate 44100|48000  FLAC のサンプリング周波数 (省略時は入力のまま)\n"
            L"  --no-verify      FLAC を書きながら検証しない\n"
            L"  --opus-bitrate kbps  Opus のビットレート (6 .. 510)\n"
            L"  --opus-mode モード  Opus のビットレート方式: vbr, cvbr (制約付き), cbr\n"
            L"  --no-tags        入力のタグとカバー画像をコピーしない\n"
            L"  --tag 名前=値     タグの項目を設定 (繰り返し可。TITLE, ARTIST, ALBUM, TRACK など)\n"
            L"  --list-formats   インストールされているコーデックの形式を一覧表示\n"
            L"  --version        ZEPc のバージョンを表示\n"
            L"  -j 数            フォルダのファイルを同時に変換する数 (省略時はプロセッサ数)\n"
            L"  --threads 数     1 つのファイルの MP3 をエンコードするスレッド数 (省略時はプロセッサ数)\n"
            L"  --decoder 種類   デコーダー: builtin (内蔵、省略時。扱えない形式はシステムのフィルター),\n"
            L"                   system (システムの DirectShow フィルターのみ)\n"
            L"  -q               進行状況と使ったデコーダーを表示しない\n"
            L"  --               以降はオプションではなく入力 (- で始まる名前に)\n"
            L"指定しない設定は ZEP "
            L"に保存された設定を使います (バッチ画面のフォルダの指定は使いません)。"
            L"コマンドラインの指定は保存されません。\n"
            L"終了コード: 0 成功、2 使い方の誤り、3 GOGO.DLL がないか壊れている、4 MP3 の設定が\n"
            L"受け付けられない、5 ビットレートが受け付けられない、130 中断 (Ctrl+C など。\n"
            L"変換中のファイルは作られません)、それ以外はエラー番号です。",
        L"Usage: ZEPc INPUT [-o OUTPUT] -f " + names +
            L" [options]\n"
            L"       ZEPc FOLDER -f " +
            names +
            L" [options]\n"
            L"A folder converts its audio files (pictures, texts, cue sheets, logs and the like\n"
            L"are passed over) in the batch's order and with its names, and ends with a count.\n"
            L"  -o OUTPUT          the output file (default: beside the input, the format's "
            L"extension);\n"
            L"                     with a folder, the output folder (its tree mirrored there)\n"
            L"  -r                 the folders below the folder too\n"
            L"  --name PATTERN     names made from the tags: <albumartist>\\<album>\\<track> - <title>\n"
            L"                     (also <artist> <year> <genre> <disc> <composer> <filename> <folder>)\n"
            L"  --skip-existing    inputs whose output exists are not converted\n"
            L"  --update           only inputs newer than their output are converted again\n"
            L"                     (a failure leaves the old output)\n"
            L"  -f FORMAT          " +
            FormatList() +
            L"\n"
            L"  --volume PERCENT   the volume\n"
            L"  --bitrate KBPS     the MP3 bit rate\n"
            L"  --vbr QUALITY      MP3 with a variable bit rate (0 best .. 9)\n"
            L"  --mode MODE        the MP3 channels: mono, stereo, joint, ms, dual\n"
            L"  --wma4 N / --wma7 N  a WMA system profile (format 4.0 / 7.0)\n"
            L"  --wma-file PATH [--two-pass]  a WMA profile file\n"
            L"  --acm NAME [--rate HZ] [--channels N] [--bits N]  the WAV codec and format\n"
            L"                     (--acm PCM alone keeps the input's bits and channels)\n"
            L"  --flac-level N     the FLAC compression level (0 fastest .. 8 smallest)\n"
            L"  --flac-bits 16|24  the FLAC sample depth (default: the input's)\n"
            L"  --flac-rate 44100|48000  the FLAC sample rate (default: the input's)\n"
            L"  --no-verify        FLAC written without verifying it\n"
            L"  --opus-bitrate KBPS  the Opus bit rate (6 .. 510)\n"
            L"  --opus-mode MODE   the Opus bit rate mode: vbr, cvbr (constrained), cbr\n"
            L"  --no-tags          do not copy the input's tags and cover\n"
            L"  --tag NAME=VALUE   set a tag field (repeatable; TITLE, ARTIST, ALBUM, TRACK, ...)\n"
            L"  --list-formats     the formats the installed codecs offer\n"
            L"  --version          ZEPc's version\n"
            L"  -j N               a folder's conversions at a time (default: one per processor)\n"
            L"  --threads N        threads one file's MP3 is encoded on (default: one per processor)\n"
            L"  --decoder KIND     builtin (the default: ZEP's own, the system's filters for the rest)\n"
            L"                     or system (the system's DirectShow filters only)\n"
            L"  -q                 no progress, and no line naming the decoder\n"
            L"  --                 what follows is the input, even when it starts with -\n"
            L"Settings not given are the ones ZEP saved (the batch dialog's folder choices are\n"
            L"not taken); nothing given here is saved.\n"
            L"Exit code: 0 success, 2 a usage mistake, 3 GOGO.DLL missing or damaged, 4 the MP3\n"
            L"settings refused, 5 the bit rate refused, 130 interrupted (Ctrl+C and the like;\n"
            L"the file being converted is not made), otherwise the error number.");
}

int Usage(const std::wstring& mistake) {
    WriteError(L"ZEPc: " + mistake + L" (ZEPc --help)");
    return kUsageMistake;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // No system box (a damaged library, a drive without media) may hold a script.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    CCommandLine line;
    const std::wstring mistake = line.Parse(std::vector<std::wstring>(argv + 1, argv + argc));
    if (!mistake.empty())
        return Usage(mistake);
    if (line.help) {
        WriteOutput(HelpText());
        return 0;
    }
    if (line.version) {
        WriteOutput(L"ZEPc " ZEP_VERSION_WIDE);
        return 0;
    }
    if (line.listFormats) {
        for (const AcmFormat& format : ListAcmFormats())
            WriteOutput(format.tag + L": " + format.description);
        return 0;
    }
    if (line.acm && !FindAcmFormat(ListAcmFormats(), *line.acm, line.rate.value_or(0),
                                   static_cast<WORD>(line.channels.value_or(0)),
                                   static_cast<WORD>(line.bits.value_or(0))))
        return Usage(L"no " + *line.acm + L" format as asked (ZEPc --list-formats)");
    const DWORD attributes = GetFileAttributesW(line.input.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Usage(line.input + L" does not exist");
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folder && !line.output.empty() &&
        GetFileAttributesW(line.output.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !(GetFileAttributesW(line.output.c_str()) & FILE_ATTRIBUTE_DIRECTORY))
        return Usage(L"-o with a folder names the output folder; " + line.output + L" is a file");
    if (!folder && line.AsksFolderChoices())
        return Usage(L"-r, --name, --skip-existing and --update are for a folder");
    if (!folder && line.jobs)
        return Usage(L"-j is for a folder's files; one file converts on its own");
    if (folder && line.threads)
        return Usage(L"--threads is for one file; a folder's files share the processors");
    CatchStopRequests();
    // Said once, however many of a folder's files want the library.
    CGoGoStab::SetNotice([](const wchar_t* text) {
        static std::once_flag told;
        std::call_once(told, [text] { WriteError(text); });
    });
    // ZEP's own settings, as the dialog saved them, read and never written.
    SetProfileApplicationName(L"ZEP");
    SetProfileRegistryPosition(ReadRegistryPosition(ExecutableFolder()));
    SetProfileReadOnly(true);
    CEncoderOptions options;
    const CAudioInfo saved;
    ApplySettings(saved, options);
    line.ApplyTo(options);
    const DecoderChoice decoder = DecoderChoiceOf(line.decoder.value_or(saved.decoder));
    if (folder)
        return ExitCode(
            ConvertFolder(line, options, decoder, BatchJobs(line.type, line.jobs.value_or(0))));
    CConsoleConverter converter(line, options, decoder, false, line.ShowsProgress());
    return ExitCode(converter.Convert(
        line.input, {DecideOutputPath(line.type, line.input, line.output), nullptr}));
}
