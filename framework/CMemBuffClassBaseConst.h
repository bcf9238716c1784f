#pragma once
#include "CMemBuffClassBase.h"

// A holder that is never empty after construction: it creates its object itself.
template <class T> class CMemBuffClassBaseConst : public CMemBuffClassBase<T> {
  public:
    CMemBuffClassBaseConst() { this->object = new T(); }
};
