#include "skinui/core/notify_pump.h"

#include "skinui/core/control_ui.h"

namespace SkinUI {

const UiNotifyMapEntry CNotifyPump::s_notifyEntries[] = {
    {L"", L"", UINOTIFY_KIND_END, nullptr},
};

const UiNotifyMap CNotifyPump::s_notifyMap = {nullptr, &CNotifyPump::s_notifyEntries[0]};

CNotifyPump::CNotifyPump() : m_VirtualWndMap(83) {}

CNotifyPump::~CNotifyPump() {}

const UiNotifyMap* CNotifyPump::GetNotifyMap() const { return &CNotifyPump::s_notifyMap; }

bool CNotifyPump::AddVirtualWnd(const wchar_t* name, CNotifyPump* pump)
{
    if (name == nullptr || name[0] == L'\0' || pump == nullptr) {
        return false;
    }
    return m_VirtualWndMap.Insert(name, pump);
}

bool CNotifyPump::RemoveVirtualWnd(const wchar_t* name) { return name != nullptr && m_VirtualWndMap.Remove(name); }

bool CNotifyPump::NotifyPump(UiNotify& msg)
{
    if (!msg.sVirtualWnd.IsEmpty()) {
        for (int i = 0; i < m_VirtualWndMap.GetSize(); ++i) {
            const wchar_t* key = m_VirtualWndMap.GetAt(i);
            if (key == nullptr || msg.sVirtualWnd.CompareNoCase(key) != 0) {
                continue;
            }
            CNotifyPump* pump = static_cast<CNotifyPump*>(m_VirtualWndMap.Find(key, false));
            if (pump != nullptr && pump->LoopDispatch(msg)) {
                return true;
            }
        }
    }
    return LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(UiNotify& msg)
{
    CUiString senderName = msg.pSender != nullptr ? msg.pSender->GetName() : CUiString();
    for (const UiNotifyMap* map = GetNotifyMap(); map != nullptr; map = map->pBase) {
        for (const UiNotifyMapEntry* entry = map->pEntries; entry->nKind != UINOTIFY_KIND_END; ++entry) {
            if (entry->sType != msg.sType) {
                continue;
            }
            if (!entry->sControlName.IsEmpty() && entry->sControlName != senderName) {
                continue;
            }
            switch (entry->nKind) {
            case UINOTIFY_KIND_PARAMS:
                (this->*reinterpret_cast<UiNotifyParamHandler>(entry->pfn))(msg.wParam, msg.lParam);
                return true;
            case UINOTIFY_KIND_NOTIFY:
                (this->*entry->pfn)(msg);
                return true;
            default:
                return false;
            }
        }
    }
    return false;
}

}  // namespace SkinUI
