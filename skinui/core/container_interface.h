// IContainerUI: the child management of a container control, reached through
// GetInterface(L"IContainer"). The core (the skin builder) adds children
// through it without knowing any container class.
#pragma once

namespace SkinUI {

class CControlUI;

class IContainerUI {
public:
    virtual CControlUI* GetItemAt(int index) const = 0;
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual bool SetItemIndex(CControlUI* control, int index) = 0;
    virtual bool SetMultiItemIndex(CControlUI* startControl, int count, int newStartIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    virtual bool Remove(CControlUI* control, bool doNotDestroy = false) = 0;
    virtual bool RemoveAt(int index, bool doNotDestroy = false) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() {}
};

}  // namespace SkinUI
