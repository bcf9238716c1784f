#pragma once

// Holds a flag set for as long as it is in scope.
class CScopedFlag {
  public:
    explicit CScopedFlag(bool& flag) : flag(flag) { flag = true; }
    ~CScopedFlag() { flag = false; }
    CScopedFlag(const CScopedFlag&) = delete;
    CScopedFlag& operator=(const CScopedFlag&) = delete;

  private:
    bool& flag;
};
