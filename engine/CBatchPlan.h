#pragma once
#include "engine/CFileConversion.h"
#include "engine/CNamePattern.h"
#include <map>
#include <string>
#include <vector>

// What a folder's batch does with an output that exists already.
enum class ExistingOutputs {
    NextFreeName = 0, // the output takes the next free name
    Skip = 1,         // the input is not converted
    Update = 2,       // converted again when the input is newer; replaced only on success
};

// The user's choices for a folder's batch; empty ones keep the plain batch.
struct CBatchChoices {
    bool subfolders = false;
    std::wstring outputFolder; // empty: beside each input
    std::wstring namePattern;  // empty: the input's own name
    ExistingOutputs existing = ExistingOutputs::NextFreeName;
};

// A folder's batch decided before any file is written: every file of it
// with its output, and whether it is converted, passed over (plainly not
// audio, or with skip and update an earlier output beside its source), skipped (its output is
// there) or refused (another input of the batch has its output's name).
class CBatchPlan {
  public:
    // Paths as the system compares them: letter case aside.
    struct NoCaseLess {
        bool operator()(const std::wstring& a, const std::wstring& b) const;
    };
    enum class Action { Convert, PassOver, Skip, Clash };
    struct Item {
        std::wstring input, output;
        Action action = Action::Convert;
        bool replaces = false;    // an older output is replaced (update)
        std::wstring clashesWith; // the input that has the output's name (Clash)
    };

    // files: the batch's files, as walked from folder.
    CBatchPlan(int type, const std::wstring& folder, const std::vector<std::wstring>& files,
               const CBatchChoices& choices, const CNamePattern::Unknown& unknown);

    const std::vector<Item>& Items() const { return items; }
    // Where item at is written: it never replaces a file that took its
    // name meanwhile, unless it updates that output.
    COutputTarget Target(size_t at) const;
    // The folders of item at's output, made where missing; false when one
    // cannot be made.
    bool MakeFolders(size_t at) const;

  private:
    std::wstring Decide(int type, const std::wstring& input, const CNamePattern& pattern) const;
    void Settle(Item& item, ExistingOutputs existing);
    const std::wstring& StemSource(const Item& item) const;

    const std::wstring folder, outputFolder;
    const bool plain; // neither an output folder nor a pattern: named as before
    std::vector<Item> items;
    std::vector<std::wstring> planned; // the outputs named so far
    // The input that named each output so far, letter case aside.
    std::map<std::wstring, std::wstring, NoCaseLess> namers;
};

// How a batch ended, file by file.
struct CBatchCounts {
    int converted = 0, failed = 0, passedOver = 0, skipped = 0;

    // A file of the plan whose conversion ended with result (0: converted);
    // one the plan passes over or skips counts as such.
    void Count(CBatchPlan::Action action, int result);
};

// "12 converted, 0 failed, 12 passed over, 0 skipped" in the user's language.
std::wstring BatchCountsText(const CBatchCounts& counts, bool japanese);
