// Small control trees for the control and manager tests: a recording control
// and a minimal container that places children at their "pos" and searches
// them the way containers do.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "skinui/core/control_ui.h"
#include "skinui/core/ui_manager.h"

namespace testtree {

using SkinUI::CControlUI;
using SkinUI::UiEvent;

// Every event a RecControl receives, as "name:type".
typedef std::vector<std::string> EventLog;

class RecControl : public CControlUI {
public:
    RecControl(const wchar_t* name, EventLog* log, UINT flags = 0) : m_log(log), m_flags(flags)
    {
        SetName(name);
    }
    UINT GetControlFlags() const override { return m_flags; }
    void SetControlFlags(UINT flags) { m_flags = flags; }
    void DoEvent(UiEvent& event) override
    {
        if (m_log != nullptr) {
            std::wstring name = GetName().GetData();
            m_log->push_back(std::string(name.begin(), name.end()) + ":" + std::to_string(event.Type));
        }
        lastEvent = event;
        if (event.Type >= 0 && event.Type < 32) byType[event.Type] = event;
        CControlUI::DoEvent(event);
    }
    UiEvent lastEvent = {};
    UiEvent byType[32] = {};  // the last event of each type

private:
    EventLog* m_log;
    UINT m_flags;
};

// Places each visible child at its fixed position relative to the own top-left
// corner (floating children by their float percentages), owns its children.
class TestContainer : public CControlUI {
public:
    explicit TestContainer(const wchar_t* name = L"") { SetName(name); }
    ~TestContainer() override
    {
        for (int i = 0; i < m_items.GetSize(); ++i) {
            static_cast<CControlUI*>(m_items[i])->Delete();
        }
    }
    const wchar_t* GetClass() const override { return L"TestContainer"; }

    void Add(CControlUI* child)
    {
        if (GetManager() != nullptr) {
            GetManager()->InitControls(child, this);
        } else {
            child->SetManager(nullptr, this, false);
        }
        m_items.Add(child);
    }
    CControlUI* GetItemAt(int i) const { return static_cast<CControlUI*>(m_items.GetAt(i)); }

    void SetManager(SkinUI::CUiManager* manager, CControlUI* parent, bool init) override
    {
        for (int i = 0; i < m_items.GetSize(); ++i) {
            GetItemAt(i)->SetManager(manager, this, init);
        }
        CControlUI::SetManager(manager, parent, init);
    }
    void SetVisible(bool visible) override
    {
        CControlUI::SetVisible(visible);
        for (int i = 0; i < m_items.GetSize(); ++i) GetItemAt(i)->SetInternVisible(IsVisible());
    }
    void SetPos(RECT rc, bool needInvalidate) override
    {
        CControlUI::SetPos(rc, needInvalidate);
        for (int i = 0; i < m_items.GetSize(); ++i) {
            CControlUI* child = GetItemAt(i);
            if (!child->IsVisible()) continue;
            SIZE xy = child->GetFixedXY();
            if (child->IsFloat()) {
                SkinUI::UiFloatPercent p = child->GetFloatPercent();
                double w = GetWidth(), h = GetHeight();
                RECT rcChild = {static_cast<int>(w * p.left) + xy.cx, static_cast<int>(h * p.top) + xy.cy,
                                static_cast<int>(w * p.right) + xy.cx + child->GetFixedWidth(),
                                static_cast<int>(h * p.bottom) + xy.cy + child->GetFixedHeight()};
                child->SetPos(rcChild, false);
            } else {
                RECT rcChild = {m_rcItem.left + xy.cx, m_rcItem.top + xy.cy,
                                m_rcItem.left + xy.cx + child->GetFixedWidth(),
                                m_rcItem.top + xy.cy + child->GetFixedHeight()};
                child->SetPos(rcChild, false);
            }
        }
    }
    CControlUI* FindControl(SkinUI::FINDCONTROLPROC proc, LPVOID data, UINT flags) override
    {
        using namespace SkinUI;
        if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
        if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
        if ((flags & UIFIND_HITTEST) != 0 && !::PtInRect(&m_rcItem, *static_cast<POINT*>(data))) return nullptr;
        if ((flags & UIFIND_UPDATETEST) != 0 && proc(this, data) != nullptr) return nullptr;
        if ((flags & UIFIND_ME_FIRST) != 0) {
            CControlUI* me = proc(this, data);
            if (me != nullptr) return me;
        }
        int count = m_items.GetSize();
        for (int i = 0; i < count; ++i) {
            int index = (flags & UIFIND_TOP_FIRST) != 0 ? count - 1 - i : i;
            CControlUI* found = GetItemAt(index)->FindControl(proc, data, flags);
            if (found != nullptr) return found;
        }
        if ((flags & UIFIND_ME_FIRST) == 0) return proc(this, data);
        return nullptr;
    }
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop) override
    {
        CControlUI::DoPaint(hDC, rcPaint, stop);
        for (int i = 0; i < m_items.GetSize(); ++i) {
            CControlUI* child = GetItemAt(i);
            if (child->IsVisible() && !child->Paint(hDC, rcPaint, stop)) return false;
        }
        return true;
    }

private:
    SkinUI::CUiPtrArray m_items;
};

// Collects the notifications of a manager.
class NotifyLog : public SkinUI::INotifyUI {
public:
    struct Entry {
        std::wstring type;
        CControlUI* sender;
        std::wstring senderName;
        WPARAM wParam;
    };
    void Notify(SkinUI::UiNotify& msg) override
    {
        std::wstring name = msg.pSender != nullptr ? msg.pSender->GetName().GetData() : L"";
        entries.push_back(Entry{msg.sType.GetData(), msg.pSender, name, msg.wParam});
    }
    int Count(const wchar_t* type) const
    {
        int n = 0;
        for (const Entry& e : entries) n += e.type == type ? 1 : 0;
        return n;
    }
    std::vector<Entry> entries;
};

}  // namespace testtree
