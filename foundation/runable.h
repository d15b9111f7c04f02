// Task objects: a unit of work run once by a worker thread or the UI thread.
// Whoever runs a task releases it; nobody deletes one directly.
#pragma once

#include <functional>
#include <utility>

class Runable {
public:
    virtual void release() { delete this; }
    virtual ~Runable() {}
    virtual void run() = 0;
};

// Wraps any callable (usually a lambda with its captured values).
class FunctionRunable : public Runable {
public:
    explicit FunctionRunable(std::function<void()> f) : f_(std::move(f)) {}
    void run() override
    {
        if (f_)
            f_();
    }

private:
    std::function<void()> f_;
};

template <typename T>
class MemberFuncRunable : public Runable {
public:
    typedef void (T::*Method)();
    MemberFuncRunable(T* object, Method method) : object_(object), method_(method) {}
    void run() override { (object_->*method_)(); }

private:
    T* object_;
    Method method_;
};

template <typename T>
class MemberFuncRunable1 : public Runable {
public:
    typedef void (T::*Method)(bool);
    MemberFuncRunable1(T* object, Method method, bool value) : object_(object), method_(method), value_(value) {}
    void run() override { (object_->*method_)(value_); }

private:
    T* object_;
    Method method_;
    bool value_;
};
