#pragma once
#include <functional>
#include <string>

// The name a batch output tries next when the one it tried has been taken,
// since its name was chosen, by a file of anybody else's.
using NextFreeName = std::function<std::wstring(const std::wstring& taken)>;

// An output written under a temporary name in the output's own folder and
// put in its place only when the job has ended well (finished, or stopped by
// the user): a failed job leaves an existing file of that name untouched and
// a new name absent. A crash leaves at most the temporary file behind.
class CPendingOutput {
  public:
    CPendingOutput() = default;
    ~CPendingOutput() { Discard(); }
    CPendingOutput(const CPendingOutput&) = delete;
    CPendingOutput& operator=(const CPendingOutput&) = delete;

    // Creates the temporary file beside target. False when the folder takes
    // no file, or when target is read-only: such a file is never replaced.
    bool Begin(const std::wstring& target);
    // Where the writer writes; empty when nothing is pending.
    const std::wstring& Path() const { return temporary; }
    // Moves the written (and closed) file to the target. Without nextFree
    // it replaces a file of that name (one the user named); with it, it
    // never replaces a file, and moves on to the names nextFree gives.
    // False when it could not; the temporary file is removed either way.
    bool Commit(const NextFreeName& nextFree = nullptr);
    // Removes the temporary file, if any.
    void Discard();

    // Whether a file's name (without its folder) is one of our temporary
    // names: a conversion's output in the making, never an input.
    static bool IsTemporaryName(const std::wstring& name);

  private:
    bool MoveToFreeName(const NextFreeName& nextFree) const;

    std::wstring target, temporary;
};
