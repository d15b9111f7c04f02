// Lets code that calls out to handlers learn whether the object it works for
// was destroyed during the call: a handler may close and delete its window,
// or delete the control that raised the event, and the caller must then stop
// touching that object.
//
// The object holds a CLifeAnchor member; each call site puts a CLifeWatch on
// its stack and asks IsDead() after every call-out. Watches nest (a handler
// may dispatch again); when the anchor goes, every watch still on the stack
// learns it. UI thread only, like everything it guards.
#pragma once

namespace SkinUI {

class CLifeWatch;

class CLifeAnchor {
public:
    CLifeAnchor() {}
    ~CLifeAnchor();
    CLifeAnchor(const CLifeAnchor&) = delete;
    CLifeAnchor& operator=(const CLifeAnchor&) = delete;

private:
    friend class CLifeWatch;
    CLifeWatch* m_pInnermost = nullptr;
};

// The anchor keeps the address of a watch that lives on the stack; the
// watch takes it back when it goes, or the anchor went first (GCC cannot see
// that the two cover every path).
#if defined(__GNUC__) && __GNUC__ >= 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
class CLifeWatch {
public:
    explicit CLifeWatch(CLifeAnchor& anchor) : m_pAnchor(&anchor), m_pOuter(anchor.m_pInnermost)
    {
        anchor.m_pInnermost = this;
    }
    ~CLifeWatch()
    {
        if (m_pAnchor != nullptr) {
            m_pAnchor->m_pInnermost = m_pOuter;
        }
    }
    CLifeWatch(const CLifeWatch&) = delete;
    CLifeWatch& operator=(const CLifeWatch&) = delete;

    bool IsDead() const { return m_pAnchor == nullptr; }

private:
    friend class CLifeAnchor;
    CLifeAnchor* m_pAnchor;  // null once the anchor is gone
    CLifeWatch* m_pOuter;
};
#if defined(__GNUC__) && __GNUC__ >= 12
#pragma GCC diagnostic pop
#endif

inline CLifeAnchor::~CLifeAnchor()
{
    for (CLifeWatch* watch = m_pInnermost; watch != nullptr; watch = watch->m_pOuter) {
        watch->m_pAnchor = nullptr;
    }
}

}  // namespace SkinUI
