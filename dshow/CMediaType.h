#pragma once
#include <dshow.h>

// Owns one AM_MEDIA_TYPE with its format block and pUnk, and offers the
// copy/free helpers for structures owned elsewhere (enumerator results,
// a caller's ConnectionMediaType buffer). Format blocks live in task memory,
// as DirectShow callers free them with CoTaskMemFree.
class CMediaType {
  public:
    CMediaType() = default;
    ~CMediaType() { Free(type); }
    CMediaType(const CMediaType&) = delete;
    CMediaType& operator=(const CMediaType&) = delete;

    // Replaces the held type by a deep copy; on failure the holder is empty.
    HRESULT Set(const AM_MEDIA_TYPE& source);
    void Clear() { Free(type); }
    // For out-parameters: frees what is held and hands out the empty structure.
    AM_MEDIA_TYPE* Receive() {
        Free(type);
        type = AM_MEDIA_TYPE{};
        return &type;
    }
    const AM_MEDIA_TYPE& Get() const { return type; }

    // Deep copy into a target holding nothing; on failure the target holds nothing.
    static HRESULT Copy(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE& source);
    // Frees what the structure holds, leaving the structure itself.
    static void Free(AM_MEDIA_TYPE& type);
    // Frees the structure's contents and the structure (task memory).
    static void Delete(AM_MEDIA_TYPE* type);
    // GUID_NULL in the major type, subtype or format type leaves it open.
    static bool IsPartial(const AM_MEDIA_TYPE& type);
    // Whether the type agrees with every GUID the pattern fixes.
    static bool Matches(const AM_MEDIA_TYPE& type, const AM_MEDIA_TYPE& pattern);

  private:
    AM_MEDIA_TYPE type{};
};
