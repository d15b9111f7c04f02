// KXZulMainFrame: the two news views (the page and the news) drawn by the
// web engine in the main window's client area.
#include "launcher/main_frame.h"

#include <memory>

#include "foundation/log.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"
#include "launcher/deployment.h"
#include "launcher/services/file_ex.h"
#include "launcher/services/zul_model.h"
#include "launcher/web_engine.h"

namespace {

const int kViewLeft = 42;
const int kViewWidth = 752;
const int kPageTop = 187;
const int kPageHeight = 344;
const int kNewsTop = 545;
const int kNewsHeight = 132;
// The compact layout's places.
const int kCompactPageTop = 63;
const int kCompactNewsTop = 421;

// host1.txt / host2.txt beside the launcher are read and logged; the pages
// opened stay the game site's.
void logLocalAddress(const std::wstring& file, const wchar_t* format)
{
    if (!utility::ufile::exists(file))
        return;
    DWORD size = 0;
    std::unique_ptr<BYTE[]> bytes = utility::ufile::readWholeFile(file, size, 4096);
    const std::string text = bytes ? std::string(reinterpret_cast<const char*>(bytes.get()), size) : std::string();
    common::log("KXZulMainFrame::InitWindow", __LINE__, format, utility::ustring::fromUtf8(text).c_str());
}

}  // namespace

void KXZulMainFrame::createWebViews()
{
    const std::wstring appDir = utility::ufile::getExeDir();
    logLocalAddress(appDir + L"host1.txt", L"url from loacal:%s");
    logLocalAddress(appDir + L"host2.txt", L"url from loacal2:%s");
    const std::wstring site = utility::ustring::toWide(deployment::webHost());
    const std::wstring language = L"?language=" + zulModel().getRegionProfile().code;
    const std::wstring page = site + L"/PCpic" + language;
    const std::wstring news = site + L"/PCpic/news" + language;
    common::log("KXZulMainFrame::InitWindow", __LINE__, L"real urlIndex is:%s", page.c_str());
    common::log("KXZulMainFrame::InitWindow", __LINE__, L"real urlNews is:%s", news.c_str());

    common::log("KXZulMainFrame::InitWindow", __LINE__, L"wkeInitialize start");
    const int ready = wke::loadWkeLibrary(appDir);
    common::log("KXZulMainFrame::InitWindow", __LINE__, L"wkeInitialize ret %d", ready);
    if (!ready)
        return;
    createBrowser1(page);
    createBrowser2(news);
}

void KXZulMainFrame::createBrowser1(const std::wstring& address)
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    webView1_ = wke::createView(m_hWnd, client.left + kViewLeft, client.top + kPageTop, kViewWidth, kPageHeight,
                                address);
}

void KXZulMainFrame::createBrowser2(const std::wstring& address)
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    webView2_ = wke::createView(m_hWnd, client.left + kViewLeft, client.top + kNewsTop, kViewWidth, kNewsHeight,
                                address);
}

void KXZulMainFrame::moveWebViewsCompact()
{
    wke::moveView(webView1_, kViewLeft, kCompactPageTop, kViewWidth, kPageHeight);
    wke::moveView(webView2_, kViewLeft, kCompactNewsTop, kViewWidth, kNewsHeight);
}
