#pragma once
#include <string>

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
    // Moves the written (and closed) file over the target. False when it
    // could not; the temporary file is removed either way.
    bool Commit();
    // Removes the temporary file, if any.
    void Discard();

  private:
    std::wstring target, temporary;
};
