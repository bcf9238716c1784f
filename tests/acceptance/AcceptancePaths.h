#pragma once
#include <string>

// Where the run keeps what the acceptance tests use, as Wine's Z: drive
// shows the host's folders: this language's installations of ZEP, the
// inputs, and this language's outputs, which the host checks afterwards.
std::wstring InstallFolder(const std::wstring& variant);
std::wstring InputPath(const std::wstring& relative);
std::wstring OutputPath(const std::wstring& relative);
// The language of this run, "en" or "ja", for names of outputs and screenshots.
std::wstring Language();

// Removes the settings the installations keep (their Setting.ini names the branch).
void ForgetSettings();
// The batch folder as the batch dialog remembers it from the last run.
// (Wine's folder chooser ignores a typed path, so a test cannot choose it.)
void RememberBatchFolder(const std::wstring& folder);
// How many files a batch converts at a time, as the settings keep it.
void RememberBatchJobs(int jobs);
// A fresh copy of every file of a folder: files already in the target go first.
bool CopyFolder(const std::wstring& from, const std::wstring& to);
