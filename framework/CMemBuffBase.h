#pragma once
#include <cstdlib>
#include <cstring>

// A growable array of plain elements on the C run-time heap.
// Invariant: count is 0 whenever data is null.
template <class T> class CMemBuffBase {
  public:
    T* data = nullptr;

    CMemBuffBase() = default;
    explicit CMemBuffBase(int n) {
        if (n > 0) {
            data = static_cast<T*>(std::malloc(sizeof(T) * static_cast<size_t>(n)));
            count = data ? n : 0;
        }
    }
    CMemBuffBase(const CMemBuffBase&) = delete;
    CMemBuffBase& operator=(const CMemBuffBase&) = delete;
    virtual ~CMemBuffBase() { std::free(data); }

    // Resize(0) keeps the memory for reuse and reports no elements. A
    // negative size is taken as 0: a negative count would turn every size
    // computation below into a huge unsigned length.
    virtual T* Resize(int n) {
        if (n < 0)
            n = 0;
        if (n > 0 && n != count) {
            void* grown = std::realloc(data, sizeof(T) * static_cast<size_t>(n));
            if (!grown)
                std::free(data);
            data = static_cast<T*>(grown);
        }
        count = data ? n : 0;
        return data;
    }

    virtual T* Reserve(int n) {
        if (count < n)
            Resize(n);
        return data;
    }

    virtual int FillAll(int value) { return Fill(value, count); }

    virtual int Fill(int value, int n) {
        if (!data || n < 0 || count < n)
            return 0;
        std::memset(data, value, sizeof(T) * static_cast<size_t>(n));
        return 1;
    }

    virtual int CopyFrom(const CMemBuffBase& other) {
        return CopyFrom(other.data, other.GetCount());
    }

    // Never grows the buffer; a request beyond the held count is refused whole.
    virtual int CopyFrom(const T* source, int n) {
        if (!data || n < 0 || n > count || (n > 0 && !source))
            return 0;
        std::memmove(data, source, sizeof(T) * static_cast<size_t>(n));
        return 1;
    }

    virtual int GetCount() const { return count; }
    virtual int GetByteSize() const { return count * static_cast<int>(sizeof(T)); }

    virtual void Free() {
        std::free(data);
        data = nullptr;
        count = 0;
    }

  private:
    int count = 0;
};
