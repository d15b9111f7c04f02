// MessageBoxWindow: the window of one message box (see message_box.h). It
// disables its parent while it is open (the parent comes back when the last
// box open over it closes), deletes itself when its window is gone, and runs
// the callback of the button that closed it only after that, so that the
// callback may destroy the parent and the box with it.
#pragma once

#include <windows.h>

#include <functional>

#include "msg/message_box.h"
#include "skinui/core/window_impl_base.h"

namespace msg {

class MessageBoxWindow : public SkinUI::WindowImplBase, public IMessageBox {
public:
    // Disables the parent.
    MessageBoxWindow(HWND parent, const SkinUI::CUiString& skin);
    // Forgets the content text among the open boxes; lets the parent go when it still holds it.
    ~MessageBoxWindow() override;

    void setIcon(const SkinUI::CUiString& path) override;
    void setTitle(const SkinUI::CUiString& text) override;
    void setContent(const SkinUI::CUiString& text) override;
    void setCloseCallback(std::function<void()> callback) override;
    void addSelection(const SelectionInfo& info) override;
    void addRemoteSelection(const SelectionInfo& info) override;

    void Notify(SkinUI::UiNotify& msg) override;

    // Set while the window is being made: true once the object deleted itself.
    void WatchDeletion(bool* deleted) { m_pDeleted = deleted; }

protected:
    const wchar_t* GetWindowClassName() const override { return L"MessageBoxWindow"; }
    UINT GetClassStyle() const override { return CS_HREDRAW | CS_VREDRAW; }
    void OnFinalMessage(HWND hWnd) override;
    void InitWindow() override;
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return m_skin; }
    // Lets the parent go, destroys the window (and this object), then runs the
    // callback of the button or close button that closed the box.
    LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    // Once per box: the parent is enabled when no other box holds it.
    void ReleaseParent();
    void InsertSelection(SkinUI::CControlUI* button);

    std::function<void()> m_closeCallback;
    SkinUI::CUiString m_content;
    HWND m_hParent;
    SkinUI::CUiString m_skin;
    bool m_bHoldsParent;
    std::function<void()> m_pendingCallback;  // run after the window is gone
    bool* m_pDeleted;
};

}  // namespace msg
