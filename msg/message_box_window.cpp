#include "msg/message_box_window.h"

#include <map>
#include <utility>

#include "foundation/log.h"
#include "msg/selection_ui.h"
#include "skinui/controls/container_ui.h"

namespace msg {

using SkinUI::CControlUI;
using SkinUI::CUiString;

namespace {

// How many boxes keep each parent window disabled (UI thread only).
std::map<HWND, int>& OpenBoxesPerParent()
{
    static std::map<HWND, int> counts;
    return counts;
}

}  // namespace

MessageBoxWindow::MessageBoxWindow(HWND parent, const CUiString& skin)
    : m_hParent(parent), m_skin(skin), m_bHoldsParent(parent != nullptr), m_pDeleted(nullptr)
{
    if (m_bHoldsParent) {
        ++OpenBoxesPerParent()[parent];
        ::EnableWindow(parent, FALSE);
    }
}

MessageBoxWindow::~MessageBoxWindow()
{
    unregisterMessage(m_content);
    ReleaseParent();
}

void MessageBoxWindow::ReleaseParent()
{
    if (!m_bHoldsParent) {
        return;
    }
    m_bHoldsParent = false;
    std::map<HWND, int>& counts = OpenBoxesPerParent();
    auto it = counts.find(m_hParent);
    if (it != counts.end() && --it->second > 0) {
        return;  // another box still holds it
    }
    if (it != counts.end()) {
        counts.erase(it);
    }
    if (::IsWindow(m_hParent)) {
        ::EnableWindow(m_hParent, TRUE);
    }
}

void MessageBoxWindow::InitWindow() { m_pm.InitFontSet(SkinUI::CUiManager::GetLanguageTextA("font_name")); }

void MessageBoxWindow::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    if (m_pDeleted != nullptr) {
        *m_pDeleted = true;
    }
    delete this;
}

LRESULT MessageBoxWindow::OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    ReleaseParent();
    std::function<void()> callback = std::move(m_pendingCallback);
    HWND hWnd = m_hWnd;
    LRESULT lRes = 0;
    m_pm.MessageHandler(uMsg, wParam, lParam, lRes);
    // The window and this object go here; from now on only locals are used.
    ::DestroyWindow(hWnd);
    if (callback) {
        callback();
    }
    return 0;
}

void MessageBoxWindow::Notify(SkinUI::UiNotify& msg)
{
    if (msg.sType == L"click" && msg.pSender != nullptr) {
        CSelectionUI* selection = static_cast<CSelectionUI*>(msg.pSender->GetInterface(L"Selection"));
        if (msg.pSender->GetName() == L"closebtn") {
            // The base handling closes the box; the callback runs once it is gone.
            ReleaseParent();
            m_pendingCallback = m_closeCallback;
        } else if (selection != nullptr) {
            ReleaseParent();
            ShowWindow(false);
            m_pendingCallback = selection->GetInfo().callback;
            Close(1);
        }
    }
    WindowImplBase::Notify(msg);
}

void MessageBoxWindow::setIcon(const CUiString& path)
{
    CControlUI* icon = m_pm.FindControl(L"msgiconimage");
    if (icon == nullptr) {
        common::log("MessageBoxWindow::setIcon", __LINE__, L"skin %s has no msgiconimage", m_skin.GetData());
        return;
    }
    if (!path.IsEmpty()) {
        icon->SetBkImage(path);
        return;
    }
    icon->SetVisible(false);
    CControlUI* label = m_pm.FindControl(L"descriptlabel");
    if (label != nullptr) {
        label->SetAttribute(L"width", L"340");
    }
}

void MessageBoxWindow::setTitle(const CUiString& text)
{
    CControlUI* title = m_pm.FindControl(L"titlelabel");
    if (title == nullptr) {
        common::log("MessageBoxWindow::setTitle", __LINE__, L"skin %s has no titlelabel", m_skin.GetData());
        return;
    }
    title->SetText(text);
}

void MessageBoxWindow::setContent(const CUiString& text)
{
    m_content = text;
    CControlUI* label = m_pm.FindControl(L"descriptlabel");
    if (label == nullptr) {
        common::log("MessageBoxWindow::setContent", __LINE__, L"skin %s has no descriptlabel", m_skin.GetData());
        return;
    }
    label->SetAttribute(L"align", L"center");
    label->SetAttribute(L"valign", L"vcenter");
    label->SetAttribute(L"multiline", L"true");
    label->SetAttribute(L"showhtml", L"true");
    label->SetText(text);
}

void MessageBoxWindow::setCloseCallback(std::function<void()> callback) { m_closeCallback = std::move(callback); }

void MessageBoxWindow::addSelection(const SelectionInfo& info) { InsertSelection(new CSelectionUI(info)); }

void MessageBoxWindow::addRemoteSelection(const SelectionInfo& info) { InsertSelection(new CSelectionUIRemote(info)); }

void MessageBoxWindow::InsertSelection(CControlUI* button)
{
    CControlUI* bar = m_pm.FindControl(L"bottombar");
    SkinUI::IContainerUI* container = bar != nullptr
                                          ? static_cast<SkinUI::IContainerUI*>(bar->GetInterface(L"IContainer"))
                                          : nullptr;
    // Before the last child (the closing spacer); first in an empty bar.
    const int index = container != nullptr && container->GetCount() > 0 ? container->GetCount() - 1 : 0;
    if (container == nullptr || !container->AddAt(button, index)) {
        common::log("MessageBoxWindow::InsertSelection", __LINE__, L"button %s not added to bottombar of %s",
                    button->GetText().GetData(), m_skin.GetData());
        button->Delete();
    }
}

}  // namespace msg
