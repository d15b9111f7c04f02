// Delegates: a receiver and a function bound to one opaque argument,
// answering true (carry on) or false (veto).
#pragma once

#include <string.h>

namespace SkinUI {

class CDelegateBase {
public:
    virtual ~CDelegateBase() {}
    // A new heap copy of the same dynamic type; the caller owns it.
    virtual CDelegateBase* Copy() const = 0;
    virtual bool Invoke(void* param) = 0;

    bool operator()(void* param) { return Invoke(param); }
    // Equal when both the receiver and the function are the same.
    bool Equals(const CDelegateBase& other) const;
    bool operator==(const CDelegateBase& other) const { return Equals(other); }
    void* GetReceiver() const { return m_pObject; }

protected:
    // fn points at the function pointer (free or member) of fnSize bytes;
    // its bytes are kept so that any two delegates can be compared.
    CDelegateBase(void* pObject, const void* fn, size_t fnSize);
    CDelegateBase(const CDelegateBase& src);

private:
    CDelegateBase& operator=(const CDelegateBase&) = delete;

    enum { FN_BYTES = 4 * sizeof(void*) };
    void* m_pObject;
    unsigned char m_fn[FN_BYTES];
};

// A free function taking the argument.
class CDelegateStatic : public CDelegateBase {
public:
    typedef bool (*Fn)(void* param);
    explicit CDelegateStatic(Fn pFn) : CDelegateBase(nullptr, &pFn, sizeof(pFn)), m_pFn(pFn) {}

    CDelegateBase* Copy() const override { return new CDelegateStatic(m_pFn); }
    bool Invoke(void* param) override { return m_pFn(param); }

private:
    Fn m_pFn;
};

// A member function of T called on an object of class O.
template <class O, class T>
class CDelegate : public CDelegateBase {
public:
    typedef bool (T::*Fn)(void* param);
    CDelegate(O* pObj, Fn pFn) : CDelegateBase(pObj, &pFn, sizeof(pFn)), m_pObj(pObj), m_pFn(pFn) {}

    CDelegateBase* Copy() const override { return new CDelegate(m_pObj, m_pFn); }
    bool Invoke(void* param) override { return (m_pObj->*m_pFn)(param); }

private:
    static_assert(sizeof(Fn) <= 4 * sizeof(void*), "member function pointer too large");
    O* m_pObj;
    Fn m_pFn;
};

}  // namespace SkinUI
