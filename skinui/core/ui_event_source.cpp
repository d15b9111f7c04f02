#include "skinui/core/ui_event_source.h"

namespace SkinUI {

CDelegateBase::CDelegateBase(void* pObject, const void* fn, size_t fnSize) : m_pObject(pObject)
{
    memset(m_fn, 0, sizeof(m_fn));
    memcpy(m_fn, fn, fnSize < sizeof(m_fn) ? fnSize : sizeof(m_fn));
}

CDelegateBase::CDelegateBase(const CDelegateBase& src) : m_pObject(src.m_pObject)
{
    memcpy(m_fn, src.m_fn, sizeof(m_fn));
}

bool CDelegateBase::Equals(const CDelegateBase& other) const
{
    return m_pObject == other.m_pObject && memcmp(m_fn, other.m_fn, sizeof(m_fn)) == 0;
}

CUiEventSource::~CUiEventSource()
{
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
        delete static_cast<CDelegateBase*>(m_aDelegates[i]);
    }
    m_aDelegates.Empty();
}

void CUiEventSource::operator+=(const CDelegateBase& d)
{
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
        const CDelegateBase* listed = static_cast<const CDelegateBase*>(m_aDelegates[i]);
        if (listed != nullptr && listed->Equals(d)) {
            return;
        }
    }
    CDelegateBase* copy = d.Copy();
    if (!m_aDelegates.Add(copy)) {
        delete copy;
    }
}

bool CUiEventSource::operator()(void* param)
{
    CLifeWatch watch(m_life);
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
        CDelegateBase* d = static_cast<CDelegateBase*>(m_aDelegates[i]);
        if (d != nullptr && !d->Invoke(param)) {
            return false;
        }
        if (watch.IsDead()) {
            return false;
        }
    }
    return true;
}

}  // namespace SkinUI
