// CGdiplusSession: GDI+ for the whole process, started once and shared.
// Every user of GDI+ (labels with text effects, the animated GIF) holds a
// session object for as long as it may draw with GDI+. The first session
// starts GDI+, the last one to go shuts it down, so no user can pull GDI+
// from under another.
#pragma once

namespace SkinUI {

class CGdiplusSession {
public:
    CGdiplusSession();
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;

    // True while GDI+ runs for this session (false when the start failed).
    bool IsStarted() const { return m_bStarted; }

    // Sessions alive in the process and whether GDI+ is running now.
    static int GetSessionCount();
    static bool IsRunning();

private:
    bool m_bStarted;
};

}  // namespace SkinUI
