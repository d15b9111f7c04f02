// CUiEventSource: an ordered list of delegates; the first false answer
// vetoes the default handling of the event.
#pragma once

#include "skinui/core/delegate.h"
#include "skinui/core/life_guard.h"
#include "skinui/core/ui_ptr_array.h"

namespace SkinUI {

class CUiEventSource {
public:
    CUiEventSource() {}
    ~CUiEventSource();
    CUiEventSource(const CUiEventSource&) = delete;
    CUiEventSource& operator=(const CUiEventSource&) = delete;

    // True when at least one delegate listens.
    operator bool() const { return !m_aDelegates.IsEmpty(); }
    // Appends a copy unless an equal delegate is already listed. The caller
    // keeps its own delegate.
    void operator+=(const CDelegateBase& d);
    // Calls the delegates in insertion order; false as soon as one answers
    // false (the rest are not called); true otherwise and for an empty list.
    // A delegate that deletes the source (with its control) also ends the
    // calls with false, so that the caller skips the default handling.
    bool operator()(void* param);
    int GetCount() const { return m_aDelegates.GetSize(); }

private:
    CUiPtrArray m_aDelegates;
    CLifeAnchor m_life;
};

}  // namespace SkinUI
