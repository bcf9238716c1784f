#pragma once
#include <windows.h>

#include <commctrl.h>

// Owns an image list of small icons and destroys it with itself. A control
// that shows it must not outlive this object.
class CImageList {
  public:
    CImageList() = default;
    ~CImageList() { Reset(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // A new empty list of 32-bit images with masks; false when none could be made.
    bool Create(int width, int height, int capacity) {
        Reset();
        list = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, capacity, 0);
        return list != nullptr;
    }
    // The image's index, or -1. The list keeps a copy, so shared icons may be passed.
    int AddIcon(HICON icon) { return list && icon ? ImageList_AddIcon(list, icon) : -1; }
    HIMAGELIST Get() const { return list; }
    void Reset() {
        if (list)
            ImageList_Destroy(list);
        list = nullptr;
    }

  private:
    HIMAGELIST list = nullptr;
};
